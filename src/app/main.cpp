#include "app/mainwindow.h"
#include "app/qttranslation.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QStringList>

#include <cstdio>

namespace {

// The program's only options. Their texts are ours, in Russian: QCommandLineParser's own help
// and error texts are English, and --help is answered before Qt's translation is loaded.
struct Options
{
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")},
                            QStringLiteral("Показать эту справку и выйти.")};
    QCommandLineOption version{{QStringLiteral("v"), QStringLiteral("version")},
                               QStringLiteral("Показать версию программы и выйти.")};

    void addTo(QCommandLineParser &parser) const
    {
        parser.addOption(help);
        parser.addOption(version);
    }
};

QString helpText(const Options &options)
{
    QString text = QStringLiteral(
        "Использование: velmora [параметры]\n"
        "\n"
        "Velmora — графическая оболочка для утилит КриптоПро CSP (csptest, certmgr, cryptcp):\n"
        "запросы на сертификаты, ключевые контейнеры, сертификаты, подпись и шифрование\n"
        "файлов, документы к запросу и установка КриптоПро CSP.\n"
        "\n"
        "Параметры:\n");
    for (const QCommandLineOption *option : {&options.help, &options.version}) {
        const QStringList names = option->names();
        const QString left = QStringLiteral("  -%1, --%2").arg(names.at(0), names.at(1));
        text += left.leftJustified(17) + option->description() + QLatin1Char('\n');
    }
    return text;
}

void print(FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
}

// 0 or 2 when the command line is answered without a window (help, version, a wrong option),
// -1 when the window is to be shown.
int answerCommandLine(const QStringList &arguments, bool reportErrors)
{
    const Options options;
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    options.addTo(parser);
    const bool parsed = parser.parse(arguments);

    if (parser.isSet(options.help)) {
        print(stdout, helpText(options));
        return 0;
    }
    if (parser.isSet(options.version)) {
        print(stdout, QStringLiteral("velmora %1\n").arg(QStringLiteral(VELMORA_VERSION)));
        return 0;
    }
    if (!reportErrors)
        return -1;

    QString wrong;
    if (!parsed && !parser.unknownOptionNames().isEmpty()) {
        const QString name = parser.unknownOptionNames().at(0);
        const QString dashes = name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--");
        wrong = QStringLiteral("неизвестный параметр «%1%2»").arg(dashes, name);
    } else if (!parsed)
        wrong = QStringLiteral("неверная командная строка"); // a value given to --help or --version
    else if (!parser.positionalArguments().isEmpty())
        wrong = QStringLiteral("лишний аргумент «%1»").arg(parser.positionalArguments().at(0));
    if (wrong.isEmpty())
        return -1;
    print(stderr, QStringLiteral("velmora: %1\nСправка: velmora --help\n").arg(wrong));
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    // --help and --version are answered before QApplication exists, which needs a display.
    // Qt's own options (-platform, -style, ...) are only known once QApplication has taken them
    // out, so wrong options are reported after it.
    QStringList rawArguments;
    for (int i = 0; i < argc; ++i)
        rawArguments << QString::fromLocal8Bit(argv[i]);
    int code = answerCommandLine(rawArguments, false);
    if (code >= 0)
        return code;

    QApplication app(argc, argv);
    installQtTranslation();
    code = answerCommandLine(QCoreApplication::arguments(), true);
    if (code >= 0)
        return code;
    {
        MainWindow window;
        window.show();
        code = app.exec();
    }
    return code;
}
