#pragma once

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// One run of a stand-in utility as it was logged.
struct StandInCall
{
    QString tool;
    QStringList args;
    QString stdinText;
    // Whether the run came to its own end (a stopped run never does); not compared.
    bool finished = false;
    // How many runs had come to their own end when this one started: runs that went on side by
    // side started with the same count. Not compared.
    int endsBeforeStart = 0;
    bool operator==(const StandInCall &o) const
    {
        return tool == o.tool && args == o.args && stdinText == o.stdinText;
    }
};

// What a stand-in utility does when its name and arguments match.
struct StandInRule
{
    QString tool;
    QStringList args;     // the exact arguments to match
    bool anyArgs = false; // match whatever the arguments are
    QString output;
    int stdinBytes = 0;
    QString after;
    // Delays in the program's own milliseconds: written scaled by the tool runner's wait factor.
    int delayMs = 0;
    int finalDelayMs = 0;
    int exitCode = 0;
    // Written into the file named by the argument after the option `writeAfter` ("-exprt").
    QString writeAfter;
    QString writes;
};

// A directory with the stand-in installed as csptest, certmgr and cryptcp, and as cpconfig in
// the matching sbin directory; give dir() to MainWindow as its CSP directory.
class CspStandIn
{
public:
    CspStandIn();

    // The directory with its trailing slash, as MainWindow expects it.
    QString dir() const;
    bool isValid() const { return valid; }

    // Rules are tried in the order they were added.
    void addRule(const StandInRule &rule);
    // Shorthand: `tool` with exactly `args` prints `output` and exits with `exitCode`.
    void on(const QString &tool, const QStringList &args, const QString &output, int exitCode = 0);
    // Tried after every rule of addRule(), whenever it was added: what a utility does when the
    // test says nothing else about it. clearRules() keeps these.
    void addFallback(const StandInRule &rule);
    void clearRules();

    // Removes one utility, e.g. cryptcp to make the CSP look absent.
    void remove(const QString &tool);

    // Every run logged so far, in order.
    QList<StandInCall> calls() const;
    void clearCalls();

private:
    void writeRules();

    QTemporaryDir temp;
    QString binDir;
    QList<QJsonObject> rules;
    QList<QJsonObject> fallbacks;
    bool valid = false;
};

// A fresh HOME and working directory for one test, restored afterwards.
class TestHome
{
public:
    TestHome();
    ~TestHome();
    QString path() const { return temp.path(); }

private:
    QTemporaryDir temp;
    QByteArray oldHome;
    QString oldCwd;
};
