// vestibar-sim: a controller simulator on a pseudo-terminal or a serial device.
#include "ControllerSim.h"
#include "ModemFront.h"
#include "SerialEnd.h"
#include "SignalWatcher.h"
#include "StateFile.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <cstdio>
#include <memory>

namespace {

void warn(const QString& text)
{
    std::fprintf(stderr, "vestibar-sim: %s\n", qPrintable(text));
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vestibar-sim"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VESTIBAR_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Plays the door-entry controller on a serial line. Without DEVICE it creates a pseudo-terminal "
        "and prints its path."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption linkOption(QStringLiteral("link"),
        QStringLiteral("Also make PATH a symbolic link to the pseudo-terminal (removed at exit)."),
        QStringLiteral("PATH"));
    const QCommandLineOption modemOption(QStringLiteral("modem"),
        QStringLiteral("Put a Hayes modem in front: AT commands, ATDT<number> connects."));
    const QCommandLineOption codeOption(QStringLiteral("code"),
        QStringLiteral("Master code, four digits (default 1234, or the one in the state file)."),
        QStringLiteral("CODE"));
    const QCommandLineOption stateOption(QStringLiteral("state"),
        QStringLiteral("Load the controller's memory from FILE if present; save it there on every change."),
        QStringLiteral("FILE"));
    const QCommandLineOption verboseOption(
        QStringLiteral("verbose"), QStringLiteral("Show the traffic on standard error."));
    parser.addOptions({ linkOption, modemOption, codeOption, stateOption, verboseOption });
    parser.addPositionalArgument(QStringLiteral("DEVICE"),
        QStringLiteral("Serial device to use at 1200 8N1."), QStringLiteral("[DEVICE]"));
    parser.process(app);
    if (parser.positionalArguments().size() > 1)
        parser.showHelp(2);

    ControllerSim controller;
    const QString statePath = parser.value(stateOption);
    if (!statePath.isEmpty()) {
        QString error;
        QStringList skipped;
        if (!StateFile::load(statePath, controller.state(), &error, &skipped)) {
            warn(QStringLiteral("cannot read %1: %2").arg(statePath, error));
            return 1;
        }
        for (const QString& line : skipped)
            warn(QStringLiteral("%1: skipped %2").arg(statePath, line));
    }
    if (parser.isSet(codeOption)) {
        const QByteArray code = parser.value(codeOption).toLatin1();
        const SimFormat::ParsedParameter parsed = SimFormat::parseParameter("PARCMC " + code);
        if (!parsed.command) {
            warn(QStringLiteral("the master code must be four digits"));
            return 2;
        }
        controller.state().setParameter(*parsed.command);
    }
    std::unique_ptr<ModemFront> modem;
    if (parser.isSet(modemOption))
        modem = std::make_unique<ModemFront>(controller);

    SerialEnd line;
    QString error;
    const QString device = parser.positionalArguments().value(0);
    if (device.isEmpty() ? !line.openPty(&error) : !line.openDevice(device, &error)) {
        warn(error);
        return 1;
    }

    const QString linkPath = parser.value(linkOption);
    if (!linkPath.isEmpty()) {
        // Only a stale link of our own kind is replaced, never a real file.
        if (QFileInfo(linkPath).isSymLink())
            QFile::remove(linkPath);
        if (!QFile::link(line.path(), linkPath)) {
            warn(QStringLiteral("cannot create the link %1").arg(linkPath));
            return 1;
        }
    }
    std::printf("%s\n", qPrintable(line.path()));
    std::fflush(stdout);

    const bool verbose = parser.isSet(verboseOption);
    auto saveState = [&] {
        if (statePath.isEmpty())
            return;
        QString saveError;
        if (!StateFile::save(statePath, controller.state(), &saveError))
            warn(QStringLiteral("cannot save %1: %2").arg(statePath, saveError));
    };
    auto reply = [&](const QByteArray& bytes) {
        if (verbose && !bytes.isEmpty())
            std::fprintf(stderr, "> %s", bytes.constData());
        line.send(bytes);
        if (controller.takeChanged())
            saveState();
    };

    QTimer dialTimer;
    dialTimer.setSingleShot(true);
    auto scheduleDial = [&] {
        if (const std::optional<qint64> due = modem ? modem->msUntilDue() : std::nullopt)
            dialTimer.start(int(*due));
    };
    QObject::connect(&dialTimer, &QTimer::timeout, [&] {
        reply(modem->poll());
        scheduleDial();
    });

    QObject::connect(&line, &SerialEnd::received, [&](const QByteArray& bytes) {
        if (verbose)
            std::fprintf(stderr, "< %s\n", bytes.toPercentEncoding(" :/").constData());
        reply(modem ? modem->feed(bytes) : controller.feed(bytes));
        scheduleDial();
    });
    QObject::connect(&line, &SerialEnd::lost, [&](const QString& reason) {
        warn(reason);
        QCoreApplication::exit(1);
    });

    SignalWatcher signalWatcher;
    QObject::connect(&signalWatcher, &SignalWatcher::terminate, &app, &QCoreApplication::quit);

    const int status = app.exec();
    saveState();
    if (!linkPath.isEmpty()
        && QFileInfo(linkPath).symLinkTarget() == QFileInfo(line.path()).absoluteFilePath())
        QFile::remove(linkPath);
    return status;
}
