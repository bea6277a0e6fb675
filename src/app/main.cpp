#include "Vestibar.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>

namespace {

// The window system's own options, which QApplication takes from the command line itself.
// They are known here only so that they pass the check of the tool's options.
void addWindowSystemOptions(QCommandLineParser& parser)
{
    for (const char* name : { "platform", "platformpluginpath", "platformtheme", "plugin", "display",
             "qwindowgeometry", "qwindowicon", "qwindowtitle", "session", "style", "stylesheet" }) {
        QCommandLineOption option(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char* name : { "reverse", "widgetcount" }) {
        QCommandLineOption option(QString::fromLatin1(name));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication::setApplicationVersion(QStringLiteral(VESTIBAR_VERSION));

    // The options are read before QApplication connects to the display, so --help, --version
    // and a wrong option answer on the terminal, and work where there is no display at all.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Management tool for the Vestibar door-entry controller."));
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();
    addWindowSystemOptions(parser);
    if (!parser.parse(arguments) || parser.isSet(helpOption) || parser.isSet(versionOption)) {
        QCoreApplication console(argc, argv);
        parser.process(console); // prints the help, the version or the error, and exits
    }

    Q_INIT_RESOURCE(vestibar);
    QApplication app(argc, argv);
    // The launcher's picture and name, so the window and its launcher look the same and the
    // desktop can tell that they belong together.
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/vestibar.svg")));
    QGuiApplication::setDesktopFileName(QStringLiteral("invalid.vestibar.vestibar"));
    return Vestibar::start(app);
}
