#include "SerialPort.h"

#include "DeviceAccess.h"
#include "PortMap.h"
#include "SettingsStore.h"

#include <QSerialPort>

#include <algorithm>
#include <cerrno>
#include <optional>

#ifdef Q_OS_UNIX
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#endif
#ifdef Q_OS_LINUX
#include <linux/serial.h>
#endif

namespace {

struct LineSettings
{
    int baud = 9600;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    QSerialPort::DataBits dataBits = QSerialPort::Data8;
    QSerialPort::StopBits stopBits = QSerialPort::OneStop;
};

std::optional<LineSettings> parseSettings(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 4)
        return std::nullopt;
    LineSettings result;
    bool ok = false;
    result.baud = parts.at(0).trimmed().toInt(&ok);
    if (!ok || result.baud <= 0)
        return std::nullopt;

    const QString parity = parts.at(1).trimmed().toUpper();
    if (parity == QLatin1String("N"))
        result.parity = QSerialPort::NoParity;
    else if (parity == QLatin1String("E"))
        result.parity = QSerialPort::EvenParity;
    else if (parity == QLatin1String("O"))
        result.parity = QSerialPort::OddParity;
    else if (parity == QLatin1String("M"))
        result.parity = QSerialPort::MarkParity;
    else if (parity == QLatin1String("S"))
        result.parity = QSerialPort::SpaceParity;
    else
        return std::nullopt;

    const int dataBits = parts.at(2).trimmed().toInt(&ok);
    if (!ok || dataBits < 5 || dataBits > 8)
        return std::nullopt;
    result.dataBits = QSerialPort::DataBits(dataBits);

    const QString stop = parts.at(3).trimmed();
    if (stop == QLatin1String("1"))
        result.stopBits = QSerialPort::OneStop;
    else if (stop == QLatin1String("1.5"))
        result.stopBits = QSerialPort::OneAndHalfStop;
    else if (stop == QLatin1String("2"))
        result.stopBits = QSerialPort::TwoStop;
    else
        return std::nullopt;
    return result;
}

#ifdef Q_OS_UNIX
bool isAgain(const QSerialPort& port)
{
    // Qt keeps only the text of the system error; EAGAIN is the far end holding XOFF.
    return port.errorString() == qt_error_string(EAGAIN)
        || port.errorString() == qt_error_string(EWOULDBLOCK);
}

// True when the device behind fd has gone: a pty whose master closed, a pulled
// adapter. Qt may report that with the text of an earlier EAGAIN.
bool hungUp(QSerialPort& port)
{
    pollfd entry { int(port.handle()), POLLIN, 0 };
    return ::poll(&entry, 1, 0) > 0 && (entry.revents & (POLLHUP | POLLERR | POLLNVAL));
}

// The driver stops the far end with XOFF when its input fills (IXOFF), but leaves
// the far end's XOFF and XON to the application (no IXON, no IXANY): a hold the
// driver kept would end at the next close, and any received byte would end it with
// IXANY.
void useInputFlowControlOnly(QSerialPort& port)
{
    termios attributes {};
    const int fd = int(port.handle());
    if (::tcgetattr(fd, &attributes) != 0)
        return;
    attributes.c_iflag &= ~tcflag_t(IXON | IXANY);
    attributes.c_iflag |= IXOFF;
    ::tcsetattr(fd, TCSANOW, &attributes);
}
#else
bool isAgain(const QSerialPort&)
{
    return false;
}

bool hungUp(QSerialPort&)
{
    return true;
}

void useInputFlowControlOnly(QSerialPort&) { }
#endif

} // namespace

SerialPort::SerialPort(const SettingsStore& settings, QObject* parent)
    : QObject(parent)
    , m_settings(settings)
    , m_port(std::make_unique<QSerialPort>())
{
    connect(m_port.get(), &QSerialPort::readyRead, this, &SerialPort::onReadyRead);
    connect(m_port.get(), &QSerialPort::errorOccurred, this,
        [this](QSerialPort::SerialPortError error) { onErrorOccurred(int(error)); });
}

SerialPort::~SerialPort() = default;

void SerialPort::setCommPort(int number)
{
    m_number = number;
}

int SerialPort::commPort() const
{
    return m_number;
}

bool SerialPort::setSettings(const QString& settings)
{
    if (!parseSettings(settings))
        return false;
    m_settingsText = settings.trimmed();
    if (m_port->isOpen())
        applySettings();
    return true;
}

QString SerialPort::settings() const
{
    return m_settingsText;
}

bool SerialPort::isOpen() const
{
    return m_port->isOpen() && !m_lost;
}

QString SerialPort::deviceInUse() const
{
    // Qt's port name drops "/dev/": keep the path as the operator knows it.
    return isOpen() ? m_device : QString();
}

void SerialPort::applySettings()
{
    const LineSettings line = parseSettings(m_settingsText).value_or(LineSettings {});
    m_port->setBaudRate(line.baud);
    m_port->setParity(line.parity);
    m_port->setDataBits(line.dataBits);
    m_port->setStopBits(line.stopBits);
#ifdef Q_OS_UNIX
    m_port->setFlowControl(QSerialPort::NoFlowControl);
    if (m_port->isOpen())
        useInputFlowControlOnly(*m_port);
#else
    // Elsewhere the driver keeps the far end's hold; it has no reopen to lose it in.
    m_port->setFlowControl(QSerialPort::SoftwareControl);
#endif
}

SerialPort::OpenResult SerialPort::open()
{
    if (isOpen())
        return { OpenFailure::AlreadyOpen, {} };
    if (m_port->isOpen())
        m_port->close(); // a lost device whose queued close has not run yet
    if (m_number < 1 || m_number > 99)
        return { OpenFailure::NoSuchPort, QStringLiteral("There is no port %1.").arg(m_number) };
    return openDevice(deviceName(m_number));
}

SerialPort::OpenResult SerialPort::openAgain()
{
    if (isOpen())
        return { OpenFailure::AlreadyOpen, {} };
    return openDevice(m_device);
}

SerialPort::OpenResult SerialPort::openDevice(const QString& device)
{
    m_device = device;
    m_port->setPortName(device);
    applySettings();
    m_lost = false;
    if (!m_port->open(QIODevice::ReadWrite)) {
        const QString reason
            = DeviceAccess::openFailureReason(device, m_port->error(), m_port->errorString());
        m_port->clearError();
        return { OpenFailure::Failed, reason };
    }
    // Some drivers (pseudo-terminals) refuse the modem lines; that does not stop the port.
    m_port->clearError();
    useInputFlowControlOnly(*m_port);
    ++m_openCount;
    startLineCounters();
    emit openChanged(true);
    return {};
}

void SerialPort::close()
{
    if (!m_port->isOpen())
        return;
    // Whatever arrived up to now is still the controller's. What was written stays
    // where it is: on a pseudo-terminal a flush would take back bytes the far end
    // has not read yet.
    if (!m_lost)
        onReadyRead();
    m_port->close();
    m_port->clearError();
    emit openChanged(false);
}

qint64 SerialPort::write(const QByteArray& bytes)
{
    if (!isOpen())
        return -1;
    return m_port->write(bytes);
}

qint64 SerialPort::pendingOutput() const
{
    if (!m_port->isOpen())
        return 0;
    qint64 pending = m_port->bytesToWrite();
#ifdef Q_OS_UNIX
    int queued = 0;
    if (::ioctl(int(m_port->handle()), TIOCOUTQ, &queued) == 0)
        pending += std::max(queued, 0);
#endif
    return pending;
}

int SerialPort::lineTimeMs(qint64 bytes) const
{
    const LineSettings line = parseSettings(m_settingsText).value_or(LineSettings {});
    const int parity = line.parity == QSerialPort::NoParity ? 0 : 1;
    const int stop = line.stopBits == QSerialPort::OneStop ? 1 : 2;
    const qint64 bits = 1 + int(line.dataBits) + parity + stop;
    return int((bytes * bits * 1000 + line.baud / 2) / line.baud);
}

void SerialPort::discardInput()
{
    if (m_port->isOpen())
        m_port->clear(QSerialPort::Input);
}

QString SerialPort::deviceName(int number) const
{
    return PortMap::device(m_settings, number);
}

int SerialPort::openCount() const
{
    return m_openCount;
}

void SerialPort::onReadyRead()
{
    const QByteArray bytes = m_port->readAll();
    if (!bytes.isEmpty())
        emit received(bytes);
    if (m_port->isOpen())
        noteLineErrors();
}

void SerialPort::startLineCounters()
{
    m_lineCountersAvailable = false;
#ifdef Q_OS_LINUX
    serial_icounter_struct counters {};
    if (::ioctl(int(m_port->handle()), TIOCGICOUNT, &counters) == 0) {
        m_lineCountersAvailable = true;
        m_lineCounters[0] = counters.overrun;
        m_lineCounters[1] = counters.buf_overrun;
        m_lineCounters[2] = counters.frame;
        m_lineCounters[3] = counters.parity;
        m_lineCounters[4] = counters.brk;
    }
#endif
}

void SerialPort::noteLineErrors()
{
#ifdef Q_OS_LINUX
    if (!m_lineCountersAvailable || !m_port->isOpen())
        return;
    serial_icounter_struct counters {};
    if (::ioctl(int(m_port->handle()), TIOCGICOUNT, &counters) != 0)
        return;
    const int now[5]
        = { counters.overrun, counters.buf_overrun, counters.frame, counters.parity, counters.brk };
    static constexpr LineError errors[5] = { LineError::Overrun, LineError::ReceiveOverflow,
        LineError::Framing, LineError::Parity, LineError::Break };
    for (int i = 0; i < 5; ++i) {
        if (now[i] != m_lineCounters[i]) {
            m_lineCounters[i] = now[i];
            emit lineError(errors[i]);
        }
    }
#endif
}

void SerialPort::onErrorOccurred(int error)
{
    if (m_lost || !m_port->isOpen())
        return;
    switch (QSerialPort::SerialPortError(error)) {
    case QSerialPort::ResourceError:
        if (isAgain(*m_port) && !hungUp(*m_port))
            return; // back-pressure from XOFF
        break;
    case QSerialPort::ReadError:
    case QSerialPort::WriteError:
        break;
    default:
        // Timeouts of a bounded wait, modem lines a driver lacks: the port goes on.
        return;
    }
    // A hung-up device raises this error over and over: close once, from the event
    // loop, never inside Qt's own signal.
    m_lost = true;
    const QString reason = QStringLiteral("The connection to %1 was lost.").arg(m_device);
    QMetaObject::invokeMethod(
        this, [this, number = m_openCount, reason] { closeLostDevice(number, reason); },
        Qt::QueuedConnection);
}

void SerialPort::closeLostDevice(int openNumber, const QString& reason)
{
    if (openNumber != m_openCount || !m_lost || !m_port->isOpen())
        return;
    m_port->clear(QSerialPort::Output);
    m_port->close();
    m_port->clearError();
    emit openChanged(false);
    emit deviceLost(reason);
}
