// A ten-record database send at the real one-second tick: the tool's CPU time
// while it waits, as a share of the wall time, and the arrival of each record at
// the far end against its tick.
#include "BenchSupport.h"
#include "CommandQueue.h"
#include "MainWindowFixture.h"
#include "Pty.h"
#include "ScriptedDialogs.h"
#include "SettingsStore.h"
#include "TestEnvironment.h"
#include "form1.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

#include <poll.h>
#include <unistd.h>

int main(int argc, char* argv[])
{
    BenchSupport::chooseOffscreenWithoutDisplay();
    QApplication app(argc, argv);
    TestEnvironment environment;
    constexpr int records = 10;

    const QString path = environment.filePath(QStringLiteral("bench.TNT"));
    {
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        for (int i = 0; i < records; ++i)
            file.write("TNTDIR:" + QByteArray::number(100 + i) + "TEL:5550100 NAME:TENANT "
                + QByteArray::number(i) + "\r\n");
        file.write("\r\n");
    }

    MainWindowFixture fixture({ std::chrono::milliseconds(1000) });
    fixture.settings().setValue(
        QString::fromLatin1(SettingsStore::Properties), QStringLiteral("ph"), QStringLiteral("1"));
    form1& window = fixture.show();
    const auto button
        = [&](const char* name) { return window.findChild<QAbstractButton*>(QString::fromLatin1(name)); };
    button("Option1")->click();
    button("Option7")->click();
    button("connect")->click();
    BenchSupport::settle(window);
    window.ui().Text3->setText(QStringLiteral("1234"));
    button("Mastercode")->click();
    BenchSupport::settle(window);
    button("download")->click();
    if (!button("sendfileg")->isEnabled()) {
        std::fprintf(stderr, "the send button stayed disabled\n");
        return 1;
    }
    fixture.pty().take();

    // The far end: timestamps every record line as it arrives. The port is
    // reopened before every record, so the master side reads EIO while no one
    // holds the slave; that is retried.
    QElapsedTimer clock;
    std::vector<double> arrivals;
    std::mutex lock;
    std::atomic<bool> stop = false;
    std::thread reader([&] {
        QByteArray pending;
        char buffer[4096];
        while (!stop) {
            pollfd fd { fixture.pty().masterFd(), POLLIN, 0 };
            if (::poll(&fd, 1, 20) <= 0 || !(fd.revents & POLLIN)) {
                if (fd.revents & POLLHUP)
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                continue;
            }
            const ssize_t n = ::read(fd.fd, buffer, sizeof buffer);
            if (n <= 0)
                continue;
            pending.append(buffer, n);
            int end;
            while ((end = pending.indexOf("\r\n")) >= 0) {
                if (pending.startsWith("TNT")) {
                    std::lock_guard guard(lock);
                    arrivals.push_back(clock.nsecsElapsed() / 1e6);
                }
                pending.remove(0, end + 2);
            }
        }
    });

    fixture.dialogs().expectOpenFile(path);
    clock.start();
    const BenchSupport::Timed send = BenchSupport::pressAndSettle(window, *button("sendfileg"));
    const auto cpu = send.cpu;
    const double wallMs = send.wallMs;
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    stop = true;
    reader.join();

    double worst = 0;
    for (size_t i = 0; i < arrivals.size(); ++i)
        worst = std::max(worst, std::abs(arrivals[i] - 1000.0 * double(i + 1)));

    std::printf("records arrived: %zu of %d\n", arrivals.size(), records);
    BenchSupport::figure(QStringLiteral("send wall time"), wallMs / 1000, QStringLiteral("s"));
    BenchSupport::figure(
        QStringLiteral("tool CPU while sending"), cpu.count() / 1000.0, QStringLiteral("ms"));
    BenchSupport::figure(QStringLiteral("tool CPU share of wall time"), 100.0 * cpu.count() / 1000.0 / wallMs,
        QStringLiteral("%"), QStringLiteral("<= 2%"));
    BenchSupport::figure(QStringLiteral("worst record deviation from its tick"), worst, QStringLiteral("ms"),
        QStringLiteral("<= 50 ms"));
    return int(arrivals.size()) == records ? 0 : 1;
}
