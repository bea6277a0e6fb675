// Receive throughput: a 2 MB text flood through the receive path (filter, the box
// with its trimming, the log file), against a raw reader of a second
// pseudo-terminal in the same run. The log must hold exactly what was sent.
#include "BenchSupport.h"
#include "Pty.h"
#include "ScriptedDialogs.h"
#include "SerialPort.h"
#include "TestEnvironment.h"
#include "form1.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTimer>

#include <cerrno>
#include <cstdio>
#include <thread>

#include <fcntl.h>
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
            if (n > 0)
                done += n;
            else if (n < 0 && errno != EINTR && errno != EAGAIN)
                return;
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

} // namespace

int main(int argc, char* argv[])
{
    BenchSupport::chooseOffscreenWithoutDisplay();
    QApplication app(argc, argv);
    TestEnvironment environment(std::chrono::milliseconds(1000));
    const QByteArray data = flood(2 * 1024 * 1024);

    const double rawMs = rawReaderMs(data);

    MainWindowFixture fixture;
    form1& window = fixture.show();
    window.findChild<QAbstractButton*>(QStringLiteral("Option1"))->click();
    window.findChild<QAbstractButton*>(QStringLiteral("Option7"))->click();
    window.findChild<QAbstractButton*>(QStringLiteral("connect"))->click();
    if (!window.MSComm1().portOpen()) {
        std::fprintf(stderr, "the port did not open\n");
        return 1;
    }
    const QString logPath = environment.filePath(QStringLiteral("flood.TNT"));
    auto log = std::make_unique<QFile>(logPath);
    log->open(QIODevice::WriteOnly | QIODevice::Append);
    window.openLog(std::move(log));

    QElapsedTimer clock;
    clock.start();
    std::thread feed = writer(fixture.pty().masterFd(), data);
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (QFileInfo(logPath).size() >= data.size() || clock.elapsed() > 120000)
            loop.quit();
    });
    poll.start(5);
    loop.exec();
    const double toolMs = clock.nsecsElapsed() / 1e6;
    feed.join();
    window.closeLog();

    QFile written(logPath);
    written.open(QIODevice::ReadOnly);
    const bool exact = written.readAll() == data;

    BenchSupport::figure(QStringLiteral("raw pty reader, 2 MB"), rawMs, QStringLiteral("ms"));
    BenchSupport::figure(QStringLiteral("tool receive path to log, 2 MB"), toolMs, QStringLiteral("ms"));
    BenchSupport::figure(
        QStringLiteral("receive throughput"), data.size() / 1024.0 / (toolMs / 1000), QStringLiteral("KB/s"));
    BenchSupport::figure(QStringLiteral("receive time ratio tool/raw"), toolMs / rawMs, QStringLiteral("x"),
        QStringLiteral("<= 2x"));
    std::printf("log byte-exact: %s\n", exact ? "yes" : "NO");
    return exact ? 0 : 1;
}
