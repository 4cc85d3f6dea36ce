#include "support/standin.h"

#include "csp/toolrunner.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

namespace {

// A slow utility stays exactly as slow, measured in the tool runner's waits.
int scaled(int ms)
{
    return int(ms * ToolRunner::waitFactorForTests());
}

QJsonObject toJson(const StandInRule &rule)
{
    QJsonObject o{{QStringLiteral("tool"), rule.tool},
                  {QStringLiteral("output"), rule.output},
                  {QStringLiteral("stdinBytes"), rule.stdinBytes},
                  {QStringLiteral("after"), rule.after},
                  {QStringLiteral("delayMs"), scaled(rule.delayMs)},
                  {QStringLiteral("finalDelayMs"), scaled(rule.finalDelayMs)},
                  {QStringLiteral("exit"), rule.exitCode},
                  {QStringLiteral("writeAfter"), rule.writeAfter},
                  {QStringLiteral("writes"), rule.writes}};
    if (!rule.anyArgs)
        o.insert(QStringLiteral("args"), QJsonArray::fromStringList(rule.args));
    return o;
}

} // namespace

CspStandIn::CspStandIn()
{
    if (!temp.isValid())
        return;
    // Laid out as the CSP is: the utilities in PREFIX/bin/ARCH/, cpconfig in PREFIX/sbin/ARCH/.
    binDir = temp.filePath(QStringLiteral("bin/amd64"));
    const QString sbinDir = temp.filePath(QStringLiteral("sbin/amd64"));
    valid = QDir().mkpath(binDir) && QDir().mkpath(sbinDir) &&
            QFile::link(QStringLiteral(CSP_STANDIN_PATH), sbinDir + QStringLiteral("/cpconfig"));
    for (const char *tool : {"csptest", "certmgr", "cryptcp"})
        valid = valid && QFile::link(QStringLiteral(CSP_STANDIN_PATH),
                                     QDir(binDir).filePath(QLatin1String(tool)));
    writeRules();
}

QString CspStandIn::dir() const
{
    return binDir + QLatin1Char('/');
}

void CspStandIn::addRule(const StandInRule &rule)
{
    rules.append(toJson(rule));
    writeRules();
}

void CspStandIn::addFallback(const StandInRule &rule)
{
    fallbacks.append(toJson(rule));
    writeRules();
}

void CspStandIn::on(const QString &tool, const QStringList &args, const QString &output,
                    int exitCode)
{
    StandInRule rule;
    rule.tool = tool;
    rule.args = args;
    rule.output = output;
    rule.exitCode = exitCode;
    addRule(rule);
}

void CspStandIn::clearRules()
{
    rules.clear();
    writeRules();
}

void CspStandIn::remove(const QString &tool)
{
    QFile::remove(QDir(binDir).filePath(tool));
}

QList<StandInCall> CspStandIn::calls() const
{
    QList<StandInCall> result;
    QHash<qint64, int> byPid;
    int ends = 0;
    QFile log(QDir(binDir).filePath(QStringLiteral("calls.jsonl")));
    if (!log.open(QIODevice::ReadOnly))
        return result;
    for (const QByteArray &line : log.readAll().split('\n')) {
        if (line.isEmpty())
            continue;
        const QJsonObject o = QJsonDocument::fromJson(line).object();
        const qint64 pid = qint64(o.value(QStringLiteral("pid")).toDouble());
        if (o.contains(QStringLiteral("tool"))) {
            StandInCall call;
            call.endsBeforeStart = ends;
            call.tool = o.value(QStringLiteral("tool")).toString();
            for (const QJsonValue &a : o.value(QStringLiteral("args")).toArray())
                call.args << a.toString();
            byPid.insert(pid, result.size());
            result.append(call);
        } else if (byPid.contains(pid) && o.contains(QStringLiteral("exit"))) {
            result[byPid.value(pid)].finished = true;
            ++ends;
        } else if (byPid.contains(pid)) {
            result[byPid.value(pid)].stdinText = o.value(QStringLiteral("stdin")).toString();
        }
    }
    return result;
}

void CspStandIn::clearCalls()
{
    QFile::remove(QDir(binDir).filePath(QStringLiteral("calls.jsonl")));
}

void CspStandIn::writeRules()
{
    QJsonArray array;
    for (const QJsonObject &o : rules + fallbacks)
        array.append(o);
    QFile file(QDir(binDir).filePath(QStringLiteral("rules.json")));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(QJsonDocument(array).toJson());
}

TestHome::TestHome()
    : oldHome(qgetenv("HOME"))
    , oldCwd(QDir::currentPath())
{
    qputenv("HOME", QFile::encodeName(temp.path()));
    QDir::setCurrent(temp.path());
}

TestHome::~TestHome()
{
    QDir::setCurrent(oldCwd);
    qputenv("HOME", oldHome);
}
