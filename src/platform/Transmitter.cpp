#include "Transmitter.h"

#include "InputHold.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QSerialPort>
#include <QThread>
#include <QTimer>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <sys/ioctl.h>
#include <termios.h>
#endif

namespace {

std::chrono::milliseconds g_slack { 2000 };

// How often a wait looks at the driver's queue, which raises no event of its own.
constexpr int LookIntervalMs = 10;

} // namespace

Transmitter::Transmitter(QSerialPort& port, QObject* parent)
    : QObject(parent)
    , m_port(port)
{
}

void Transmitter::setSlack(std::chrono::milliseconds slack)
{
    g_slack = slack;
}

int Transmitter::lineTimeMs(qint64 bytes) const
{
    const qint64 baud = std::max<qint64>(1, m_port.baudRate());
    const int parity = m_port.parity() == QSerialPort::NoParity ? 0 : 1;
    const int stop = m_port.stopBits() == QSerialPort::OneStop ? 1 : 2;
    const qint64 bits = 1 + int(m_port.dataBits()) + parity + stop;
    return int((bytes * bits * 1000 + baud - 1) / baud);
}

qint64 Transmitter::driverQueue() const
{
#ifdef Q_OS_UNIX
    int count = 0;
    if (m_port.isOpen() && ::ioctl(int(m_port.handle()), TIOCOUTQ, &count) == 0)
        return std::max(count, 0);
#endif
    return 0;
}

qint64 Transmitter::pending() const
{
    return m_port.isOpen() ? m_port.bytesToWrite() + driverQueue() : 0;
}

bool Transmitter::send(const QByteArray& bytes)
{
    if (!m_port.isOpen())
        return false;
    if (bytes.isEmpty())
        return true;
    if (m_port.write(bytes) != bytes.size())
        return false;
    return waitUntilLeft();
}

bool Transmitter::drain()
{
    return waitUntilLeft();
}

bool Transmitter::waitUntilLeft()
{
    const int drops = m_drops;
    bool closedWithBytes = false;
    const auto left = [&] { return m_drops == drops && !closedWithBytes && pending() == 0; };
    const auto over = [&] { return m_drops != drops || !m_port.isOpen(); };
    if (left() || over())
        return left() && m_port.isOpen();

    // The command that wrote runs to its end: clicks and keys wait for it.
    InputHold hold;
    QEventLoop loop;
    QDeadlineTimer bound(lineTimeMs(pending()) + g_slack.count());
    bool reported = false;
    int level = 0;
    QTimer look;
    look.setInterval(LookIntervalMs);
    connect(&look, &QTimer::timeout, &loop, [&] {
        if (over() || left()) {
            loop.quit();
            return;
        }
        // After a would-block Qt writes again only when asked.
        if (m_port.bytesToWrite() > 0)
            m_port.flush();
        // The report's box runs in a loop nested in this one; the next bound starts
        // once the operator has answered it.
        if (QThread::currentThread()->loopLevel() != level)
            return;
        if (reported) {
            reported = false;
            bound.setRemainingTime(lineTimeMs(pending()) + g_slack.count());
        } else if (bound.hasExpired()) {
            reported = true;
            emit held();
        }
    });
    connect(&m_port, &QSerialPort::bytesWritten, &loop, [&] {
        if (left())
            loop.quit();
    });
    connect(&m_port, &QSerialPort::aboutToClose, &loop, [&] {
        closedWithBytes = pending() > 0;
        loop.quit();
    });
    look.start();
    level = QThread::currentThread()->loopLevel() + 1;
    m_loops.append(&loop);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    m_loops.removeOne(&loop);
    return left();
}

bool Transmitter::drainWithinBound()
{
    const QDeadlineTimer bound(lineTimeMs(pending()) + g_slack.count());
    while (pending() > 0 && !bound.hasExpired()) {
        const int step = int(std::clamp<qint64>(bound.remainingTime(), 1, 50));
        // Both sleep until the line moves or the step ends; nothing else can run now.
        if (m_port.bytesToWrite() == 0 || !m_port.waitForBytesWritten(step))
            QThread::msleep(std::min(step, LookIntervalMs));
    }
    return pending() == 0;
}

void Transmitter::abortWaits()
{
    // Nested loops return innermost first once control gets back to them.
    for (QEventLoop* loop : std::as_const(m_loops))
        loop->quit();
}

void Transmitter::drop()
{
    ++m_drops;
    if (m_port.isOpen())
        m_port.clear(QSerialPort::Output);
}
