#include "SerialEnd.h"

#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

namespace {

QString systemError(const char* what)
{
    return QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromLocal8Bit(std::strerror(errno)));
}

// Raw bytes at 1200 bit/s, 8 data bits, no parity, 1 stop bit, receiver on, modem lines ignored.
bool makeRaw(int fd, bool softwareFlowControl)
{
    termios settings {};
    if (::tcgetattr(fd, &settings) != 0)
        return false;
    ::cfmakeraw(&settings);
    ::cfsetispeed(&settings, B1200);
    ::cfsetospeed(&settings, B1200);
    settings.c_cflag |= CLOCAL | CREAD;
    settings.c_cflag &= ~(CSTOPB | PARENB | CRTSCTS);
    if (softwareFlowControl)
        settings.c_iflag |= IXON | IXOFF;
    settings.c_cc[VMIN] = 1;
    settings.c_cc[VTIME] = 0;
    return ::tcsetattr(fd, TCSANOW, &settings) == 0;
}

} // namespace

SerialEnd::SerialEnd(QObject* parent)
    : QObject(parent)
{
}

SerialEnd::~SerialEnd()
{
    if (m_fd >= 0)
        ::close(m_fd);
    if (m_heldSlave >= 0)
        ::close(m_heldSlave);
}

bool SerialEnd::openPty(QString* error)
{
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0) {
        *error = systemError("posix_openpt");
        return false;
    }
    const char* slaveName = nullptr;
    if (::grantpt(master) != 0 || ::unlockpt(master) != 0 || !(slaveName = ::ptsname(master))) {
        *error = systemError("pseudo-terminal set-up");
        ::close(master);
        return false;
    }
    const QString slavePath = QString::fromLocal8Bit(slaveName);
    const int slave = ::open(slaveName, O_RDWR | O_NOCTTY | O_CLOEXEC);
    // The tool's serial component restores on close what it found at open, so the
    // slave must already be raw or CR LF would come back translated and echoed.
    if (slave < 0 || !makeRaw(slave, false)) {
        *error = systemError("pseudo-terminal slave");
        if (slave >= 0)
            ::close(slave);
        ::close(master);
        return false;
    }
    ::fcntl(master, F_SETFD, FD_CLOEXEC);
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    m_fd = master;
    m_heldSlave = slave;
    m_path = slavePath;
    watch();
    return true;
}

bool SerialEnd::openDevice(const QString& path, QString* error)
{
    const int fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *error = systemError(path.toLocal8Bit().constData());
        return false;
    }
    if (!makeRaw(fd, true)) {
        *error = systemError("serial settings");
        ::close(fd);
        return false;
    }
    m_fd = fd;
    m_path = path;
    watch();
    return true;
}

void SerialEnd::watch()
{
    m_readNotifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
    connect(m_readNotifier, &QSocketNotifier::activated, this, &SerialEnd::readReady);
    m_writeNotifier = new QSocketNotifier(m_fd, QSocketNotifier::Write, this);
    m_writeNotifier->setEnabled(false);
    connect(m_writeNotifier, &QSocketNotifier::activated, this, &SerialEnd::writeReady);
}

void SerialEnd::readReady()
{
    char buffer[512];
    const ssize_t count = ::read(m_fd, buffer, sizeof buffer);
    if (count > 0) {
        emit received(QByteArray(buffer, qsizetype(count)));
        return;
    }
    if (count < 0 && (errno == EAGAIN || errno == EINTR))
        return;
    // End of file or a read error repeats for ever on a vanished device: stop watching.
    m_readNotifier->setEnabled(false);
    m_writeNotifier->setEnabled(false);
    emit lost(count == 0 ? QStringLiteral("the line was closed") : systemError("read"));
}

void SerialEnd::send(const QByteArray& bytes)
{
    if (m_fd < 0 || bytes.isEmpty())
        return;
    // Nobody reading for a long time (the tool not running): keep the newest output only.
    m_pending += bytes;
    if (m_pending.size() > maxPending)
        m_pending.remove(0, m_pending.size() - maxPending);
    writeReady();
}

void SerialEnd::writeReady()
{
    while (!m_pending.isEmpty()) {
        const ssize_t count = ::write(m_fd, m_pending.constData(), size_t(m_pending.size()));
        if (count > 0) {
            m_pending.remove(0, qsizetype(count));
            continue;
        }
        if (count < 0 && errno == EINTR)
            continue;
        // EAGAIN (the line is full or held by XOFF): go on when it can take more.
        break;
    }
    m_writeNotifier->setEnabled(!m_pending.isEmpty() && m_readNotifier->isEnabled());
}
