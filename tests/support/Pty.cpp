#include "Pty.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFile>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

Pty::Pty()
{
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0)
        return;
    if (::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) {
        ::close(m_master);
        m_master = -1;
        return;
    }
    m_slave = QString::fromLocal8Bit(::ptsname(m_master));
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);

    // Raw mode: no echo of bytes sent while the tool has the port closed, no CR LF
    // translation. The serial component restores this state when it closes.
    const int slave = ::open(QFile::encodeName(m_slave).constData(), O_RDWR | O_NOCTTY);
    if (slave >= 0) {
        termios raw {};
        if (::tcgetattr(slave, &raw) == 0) {
            ::cfmakeraw(&raw);
            ::tcsetattr(slave, TCSANOW, &raw);
        }
        m_slaveFd = slave;
    }
}

Pty::~Pty()
{
    if (m_master >= 0)
        ::close(m_master);
    if (m_slaveFd >= 0)
        ::close(m_slaveFd);
}

bool Pty::write(const QByteArray& bytes)
{
    if (m_master < 0)
        return false;
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_master, bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0) {
            done += n;
        } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            pollfd p { m_master, POLLOUT, 0 };
            ::poll(&p, 1, 100);
        } else {
            return false;
        }
    }
    return true;
}

void Pty::readAvailable()
{
    char buffer[4096];
    ssize_t n = 0;
    while (m_master >= 0 && (n = ::read(m_master, buffer, sizeof buffer)) > 0)
        m_received.append(buffer, n);
}

void Pty::waitReadable(int timeoutMs)
{
    pollfd p { m_master, POLLIN, 0 };
    if (m_master < 0 || (::poll(&p, 1, 0) > 0 && (p.revents & POLLIN)))
        return;
    // Sleep in the event loop, so the tool's timers and serial events keep running.
    QEventLoop loop;
    QSocketNotifier notifier(qintptr(m_master), QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, &loop, &QEventLoop::quit);
    QTimer::singleShot(std::max(0, timeoutMs), &loop, &QEventLoop::quit);
    loop.exec();
}

bool Pty::waitUntil(const std::function<bool()>& done, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    readAvailable();
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        waitReadable(int(deadline.remainingTime()));
        readAvailable();
    }
    return true;
}

QByteArray Pty::read(int timeoutMs)
{
    const qsizetype before = m_received.size();
    waitUntil([&] { return m_received.size() > before; }, timeoutMs);
    return m_received.mid(before);
}

bool Pty::waitFor(const QByteArray& needle, int timeoutMs)
{
    return waitUntil([&] { return m_received.contains(needle); }, timeoutMs);
}

QByteArray Pty::take()
{
    readAvailable();
    return std::exchange(m_received, {});
}

QByteArray Pty::drain(int quietMs)
{
    const qsizetype before = m_received.size();
    waitUntil([] { return false; }, quietMs);
    return m_received.mid(before);
}

void Pty::closeMaster()
{
    if (m_master >= 0)
        ::close(m_master);
    m_master = -1;
}
