// A 1,000-record database send to a far end that holds XOFF for random spells of
// 0.2 to 3 s, with a short tick: records lost, reordered and duplicated (all must
// be 0), the bytes that left during a hold, the worst deviation of a record from its
// tick where no hold came between, and the tool's CPU share.
#include "BenchSupport.h"
#include "CommandQueue.h"
#include "LinkSession.h"
#include "MainWindowFixture.h"
#include "Pty.h"
#include "ScriptedDialogs.h"
#include "SettingsStore.h"
#include "TestEnvironment.h"
#include "Ticker.h"
#include "form1.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

#include <poll.h>
#include <unistd.h>

namespace {
constexpr int Records = 1000;
constexpr int TickMs = 20;
} // namespace

int main(int argc, char* argv[])
{
    BenchSupport::chooseOffscreenWithoutDisplay();
    QApplication app(argc, argv);
    TestEnvironment environment;

    const QString path = environment.filePath(QStringLiteral("held.TNT"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return 1;
        for (int i = 0; i < Records; ++i)
            file.write("TNTDIR:" + QByteArray::number(i) + "TEL:5550100 NAME:TENANT\r\n");
    }

    MainWindowFixture fixture({ std::chrono::milliseconds(TickMs) });
    form1& window = fixture.show();
    const auto button
        = [&](const char* name) { return window.findChild<QAbstractButton*>(QString::fromLatin1(name)); };
    button("Option1")->click();
    button("Option7")->click();
    button("connect")->click();
    BenchSupport::settle(window);
    // The line's own time is not what is measured here; the far end's holds are.
    window.MSComm1().setSettings(QStringLiteral("115200,N,8,1"));
    window.MSComm1().setHoldSlack(std::chrono::minutes(10));
    button("sendfileg")->setEnabled(true);
    fixture.pty().take();

    // The far end: numbers every record as it arrives and, now and then, holds the
    // line with XOFF for a spell, counting what still comes during it.
    QElapsedTimer clock;
    std::vector<int> order;
    std::vector<double> arrivals;
    std::vector<bool> afterHold; // a hold came between this record and the one before
    std::atomic<int> leftDuringHolds = 0;
    std::atomic<bool> stop = false;
    std::thread farEnd([&] {
        std::mt19937 random(4600);
        std::uniform_int_distribution<int> spell(200, 3000);
        std::uniform_int_distribution<int> between(20, 80);
        const int fd = fixture.pty().masterFd();
        const auto say = [fd](char byte) { return ::write(fd, &byte, 1) == 1; };
        QByteArray pending;
        int nextHold = between(random);
        bool heldSinceLast = false;
        char buffer[4096];
        while (!stop) {
            pollfd entry { fd, POLLIN, 0 };
            if (::poll(&entry, 1, 20) <= 0 || !(entry.revents & POLLIN))
                continue;
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n <= 0)
                continue;
            pending.append(buffer, int(n));
            qsizetype end;
            while ((end = pending.indexOf("\r\n")) >= 0) {
                const QByteArray line = pending.left(end);
                pending.remove(0, end + 2);
                if (!line.startsWith("TNTDIR:"))
                    continue;
                order.push_back(line.mid(7, line.indexOf("TEL") - 7).toInt());
                arrivals.push_back(clock.nsecsElapsed() / 1e6);
                afterHold.push_back(heldSinceLast);
                heldSinceLast = false;
                if (int(order.size()) == nextHold) {
                    nextHold += between(random);
                    say(0x13);
                    // Two pieces may be on their way when the XOFF arrives.
                    std::this_thread::sleep_for(std::chrono::milliseconds(50));
                    for (ssize_t late; (late = ::read(fd, buffer, sizeof buffer)) > 0;)
                        pending.append(buffer, int(late));
                    const auto until
                        = std::chrono::steady_clock::now() + std::chrono::milliseconds(spell(random));
                    while (std::chrono::steady_clock::now() < until) {
                        pollfd held { fd, POLLIN, 0 };
                        if (::poll(&held, 1, 20) > 0 && (held.revents & POLLIN)) {
                            const ssize_t late = ::read(fd, buffer, sizeof buffer);
                            if (late > 0)
                                leftDuringHolds += int(late);
                        }
                    }
                    say(0x11);
                    heldSinceLast = true;
                }
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
    farEnd.join();

    std::vector<int> seen(Records, 0);
    int reordered = 0;
    for (size_t i = 0; i < order.size(); ++i) {
        if (order[i] >= 0 && order[i] < Records)
            ++seen[size_t(order[i])];
        if (i > 0 && order[i] < order[i - 1])
            ++reordered;
    }
    const int lost = int(std::count(seen.begin(), seen.end(), 0));
    int duplicated = 0;
    for (int count : seen)
        duplicated += std::max(0, count - 1);
    double worst = 0;
    for (size_t i = 1; i < arrivals.size(); ++i) {
        if (!afterHold[i])
            worst = std::max(worst, std::abs(arrivals[i] - arrivals[i - 1] - TickMs));
    }

    BenchSupport::figure(QStringLiteral("records lost"), lost, QString(), QStringLiteral("0"));
    BenchSupport::figure(QStringLiteral("records reordered"), reordered, QString(), QStringLiteral("0"));
    BenchSupport::figure(QStringLiteral("records duplicated"), duplicated, QString(), QStringLiteral("0"));
    BenchSupport::figure(QStringLiteral("bytes that left during holds"), leftDuringHolds,
        QStringLiteral("bytes"), QStringLiteral("0"));
    BenchSupport::figure(QStringLiteral("send wall time"), wallMs / 1000, QStringLiteral("s"));
    BenchSupport::figure(QStringLiteral("worst record deviation from its tick (no hold between)"), worst,
        QStringLiteral("ms"));
    BenchSupport::figure(QStringLiteral("tool CPU share of wall time"), 100.0 * cpu.count() / 1000.0 / wallMs,
        QStringLiteral("%"));
    return lost == 0 && reordered == 0 && duplicated == 0 ? 0 : 1;
}
