#include "BenchSupport.h"

#include "CommandQueue.h"
#include "form1.h"

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTextStream>

#include <cstdio>
#include <cstdlib>

#include <sys/resource.h>

namespace BenchSupport {

void settle(form1& window)
{
    QEventLoop loop;
    QObject::connect(&window.commands(), &CommandQueue::becameIdle, &loop, &QEventLoop::quit);
    if (!window.commands().idle())
        loop.exec();
}

Timed pressAndSettle(form1& window, QAbstractButton& button)
{
    QElapsedTimer clock;
    clock.start();
    const auto cpuBefore = threadCpuTime();
    button.click();
    settle(window);
    return { clock.nsecsElapsed() / 1e6, threadCpuTime() - cpuBefore };
}

std::chrono::microseconds threadCpuTime()
{
    rusage usage {};
    getrusage(RUSAGE_THREAD, &usage);
    const auto us = [](const timeval& t) {
        return std::chrono::seconds(t.tv_sec) + std::chrono::microseconds(t.tv_usec);
    };
    return us(usage.ru_utime) + us(usage.ru_stime);
}

long residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return 0;
}

void chooseOffscreenWithoutDisplay()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

void figure(const QString& name, double value, const QString& unit, const QString& target)
{
    QString line = QStringLiteral("%1: %2 %3").arg(name).arg(value, 0, 'f', value < 10 ? 2 : 1).arg(unit);
    if (!target.isEmpty())
        line += QStringLiteral(" (target %1)").arg(target);
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

} // namespace BenchSupport
