// Receive throughput: a 2 MB text flood through the receive path (filter, the box
// with its trimming, the log file) and the line monitor's rows, once with the
// monitor window closed and once with it open. Against two readers of a second
// pseudo-terminal in the same run: a raw one that only copies, and one that does
// the log's work (woken by the event loop, every read written and flushed to a
// file). The log must hold exactly what was sent.
#include "BenchSupport.h"
#include "LineMonitorLog.h"
#include "LinkSession.h"
#include "MainWindowFixture.h"
#include "Pty.h"
#include "ScriptedDialogs.h"
#include "SerialPort.h"
#include "TestEnvironment.h"
#include "form1.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <cstdio>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

QByteArray flood(qsizetype size)
{
    QByteArray data;
    data.reserve(size);
    for (int line = 0; data.size() < size; ++line)
        data += QByteArray("TNTDIR:") + QByteArray::number(line % 10000).rightJustified(4, '0')
            + "TEL:5550123 NAME:BENCH TENANT\r\n";
    data.truncate(size - 2);
    data += "\r\n";
    return data;
}

// Writes everything into the master side, blocking as the reader falls behind.
std::thread writer(int fd, const QByteArray& data)
{
    return std::thread([fd, &data] {
        qsizetype done = 0;
        while (done < data.size()) {
            const ssize_t n
                = ::write(fd, data.constData() + done, std::min<qsizetype>(4096, data.size() - done));
            if (n > 0) {
                done += n;
            } else if (n < 0 && errno == EAGAIN) {
                // Sleeps until the reader makes room: spinning here would take the
                // core the reader needs.
                pollfd room { fd, POLLOUT, 0 };
                ::poll(&room, 1, 100);
            } else if (n < 0 && errno != EINTR) {
                return;
            }
        }
    });
}

double rawReaderMs(const QByteArray& data)
{
    Pty pty;
    const int slave = ::open(qPrintable(pty.slaveName()), O_RDWR | O_NOCTTY);
    termios raw {};
    tcgetattr(slave, &raw);
    cfmakeraw(&raw);
    tcsetattr(slave, TCSANOW, &raw);
    QElapsedTimer clock;
    clock.start();
    std::thread feed = writer(pty.masterFd(), data);
    qsizetype got = 0;
    char buffer[65536];
    while (got < data.size()) {
        const ssize_t n = ::read(slave, buffer, sizeof buffer);
        if (n <= 0)
            break;
        got += n;
    }
    const double ms = clock.nsecsElapsed() / 1e6;
    feed.join();
    ::close(slave);
    return ms;
}

constexpr int Rounds = 3;

// Reads the flood as the tool's event loop does and writes every read to a log,
// flushed: the work of the receive path without its filter and its box.
double eventLoopLoggerMs(const QByteArray& data, const QString& logPath)
{
    Pty pty;
    const int slave = ::open(qPrintable(pty.slaveName()), O_RDWR | O_NOCTTY | O_NONBLOCK);
    termios raw {};
    tcgetattr(slave, &raw);
    cfmakeraw(&raw);
    tcsetattr(slave, TCSANOW, &raw);
    QFile log(logPath);
    log.open(QIODevice::WriteOnly | QIODevice::Truncate);
    QEventLoop loop;
    QSocketNotifier notifier(qintptr(slave), QSocketNotifier::Read);
    qsizetype got = 0;
    QObject::connect(&notifier, &QSocketNotifier::activated, &loop, [&] {
        char buffer[65536];
        const ssize_t n = ::read(slave, buffer, sizeof buffer);
        if (n > 0) {
            log.write(buffer, n);
            log.flush();
            got += n;
        }
        if (n == 0 || (n < 0 && errno != EAGAIN) || got >= data.size())
            loop.quit();
    });
    QElapsedTimer clock;
    clock.start();
    std::thread feed = writer(pty.masterFd(), data);
    loop.exec();
    const double ms = clock.nsecsElapsed() / 1e6;
    feed.join();
    ::close(slave);
    return ms;
}

// One flood into the tool: the time until the log holds all of it and the line
// monitor has every line as a row; true in exact when the log is byte for byte
// what was sent.
double toolMs(MainWindowFixture& fixture, const QByteArray& data, const QString& logPath, bool& exact)
{
    form1& window = fixture.window();
    auto* monitor = window.findChild<LineMonitorLog*>();
    auto log = std::make_unique<QFile>(logPath);
    log->open(QIODevice::WriteOnly | QIODevice::Truncate);
    window.openLog(std::move(log));
    const int rowsBefore = monitor->rowCount();
    const int lines = int(data.count('\n'));

    QElapsedTimer clock;
    clock.start();
    std::thread feed = writer(fixture.pty().masterFd(), data);
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        const bool done
            = QFileInfo(logPath).size() >= data.size() && monitor->rowCount() >= rowsBefore + lines;
        if (done || clock.elapsed() > 120000)
            loop.quit();
    });
    poll.start(5);
    loop.exec();
    const double ms = clock.nsecsElapsed() / 1e6;
    feed.join();
    window.closeLog();

    QFile written(logPath);
    written.open(QIODevice::ReadOnly);
    exact = written.readAll() == data;
    return ms;
}

// "name: value unit (target ...: met)", or "NOT met": a missed target is said so.
void checkedFigure(const QString& name, double value, const QString& unit, double limit)
{
    std::printf("%s: %.2f %s (target <= %.0f%s: %s)\n", qPrintable(name), value, qPrintable(unit), limit,
        qPrintable(unit), value <= limit ? "met" : "NOT met");
    std::fflush(stdout);
}

} // namespace

int main(int argc, char* argv[])
{
    BenchSupport::chooseOffscreenWithoutDisplay();
    QApplication app(argc, argv);
    TestEnvironment environment;
    const QByteArray data = flood(2 * 1024 * 1024);

    const double rawMs = rawReaderMs(data);
    const double peerMs = eventLoopLoggerMs(data, environment.filePath(QStringLiteral("peer.TNT")));

    MainWindowFixture fixture({ std::chrono::milliseconds(1000) });
    form1& window = fixture.show();
    window.findChild<QAbstractButton*>(QStringLiteral("Option1"))->click();
    window.findChild<QAbstractButton*>(QStringLiteral("Option7"))->click();
    window.findChild<QAbstractButton*>(QStringLiteral("connect"))->click();
    if (!window.MSComm1().portOpen()) {
        std::fprintf(stderr, "the port did not open\n");
        return 1;
    }

    // Best of three floods each way, taken in turns: other work on the machine only
    // ever adds time.
    double closedMs = 1e9;
    double openMs = 1e9;
    bool exact = true;
    QAction* lineMonitor = window.findChild<QAction*>(QStringLiteral("lineMonitor"));
    for (int round = 0; round < Rounds; ++round) {
        bool written = false;
        closedMs = std::min(
            closedMs, toolMs(fixture, data, environment.filePath(QStringLiteral("closed.TNT")), written));
        exact = exact && written;
        lineMonitor->trigger();
        openMs = std::min(
            openMs, toolMs(fixture, data, environment.filePath(QStringLiteral("open.TNT")), written));
        exact = exact && written;
        window.findChild<QWidget*>(QStringLiteral("LineMonitorWindow"))->close();
    }

    BenchSupport::figure(QStringLiteral("raw pty reader, 2 MB"), rawMs, QStringLiteral("ms"));
    BenchSupport::figure(
        QStringLiteral("event-loop reader writing a flushed log, 2 MB"), peerMs, QStringLiteral("ms"));
    BenchSupport::figure(
        QStringLiteral("tool: box, log and monitor rows, monitor window closed, 2 MB (best of 3)"), closedMs,
        QStringLiteral("ms"));
    BenchSupport::figure(
        QStringLiteral("tool: box, log and monitor rows, monitor window open, 2 MB (best of 3)"), openMs,
        QStringLiteral("ms"));
    BenchSupport::figure(QStringLiteral("receive throughput, monitor closed"),
        data.size() / 1024.0 / (closedMs / 1000), QStringLiteral("KB/s"));
    // The raw reader only copies: a ratio to it is shown, with no target.
    BenchSupport::figure(QStringLiteral("receive time ratio tool (monitor closed)/raw"), closedMs / rawMs,
        QStringLiteral("x"));
    // Neither reader filters the text, fills a box or keeps the monitor's rows: the
    // ratios to them show the cost of that work, with no target.
    BenchSupport::figure(QStringLiteral("receive time ratio tool (monitor closed)/event-loop logger"),
        closedMs / peerMs, QStringLiteral("x"));
    // The same work with the window open and closed: the view must not slow the path.
    checkedFigure(
        QStringLiteral("receive time ratio monitor open/closed"), openMs / closedMs, QStringLiteral("x"), 2);
    std::printf("log byte-exact: %s\n", exact ? "yes" : "NO");
    return exact ? 0 : 1;
}
