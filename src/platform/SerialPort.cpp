#include "SerialPort.h"

#include "DeviceAccess.h"
#include "PortMap.h"
#include "SettingsStore.h"
#include "Transmitter.h"

#include <QSerialPort>

#include <cerrno>
#include <optional>
#include <utility>

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

// Qt's software flow control also sets IXANY, with which any received character
// resumes output: only XON may, so a far end that answers while it holds the line
// gets nothing more until it is ready.
void onlyXonResumes(QSerialPort& port)
{
    termios attributes {};
    const int fd = int(port.handle());
    if (::tcgetattr(fd, &attributes) != 0 || !(attributes.c_iflag & IXANY))
        return;
    attributes.c_iflag &= ~tcflag_t(IXANY);
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

void onlyXonResumes(QSerialPort&) { }
#endif

} // namespace

SerialPort::SerialPort(const SettingsStore& settings, QObject* parent)
    : QObject(parent)
    , m_settings(settings)
    , m_port(std::make_unique<QSerialPort>())
    , m_transmitter(new Transmitter(*m_port, this))
{
    connect(m_port.get(), &QSerialPort::readyRead, this, &SerialPort::onReadyRead);
    connect(m_port.get(), &QSerialPort::errorOccurred, this,
        [this](QSerialPort::SerialPortError error) { onErrorOccurred(int(error)); });
    connect(m_transmitter, &Transmitter::held, this, [this] { raise(ErTxFull); });
}

SerialPort::~SerialPort()
{
    if (!m_port->isOpen())
        return;
    // The program is ending: what is queued gets one bound to leave, then goes.
    if (!m_lost && !m_transmitter->drainWithinBound())
        m_transmitter->drop();
    m_port->close();
}

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

void SerialPort::setHandshaking(Handshaking handshaking)
{
    // Set again at every serial event: only a change reaches the driver.
    if (handshaking == m_handshaking)
        return;
    m_handshaking = handshaking;
    if (m_port->isOpen())
        applySettings();
}

SerialPort::Handshaking SerialPort::handshaking() const
{
    return m_handshaking;
}

void SerialPort::setSThreshold(int characters)
{
    m_sThreshold = characters;
}

bool SerialPort::portOpen() const
{
    return m_port->isOpen() && !m_lost;
}

QString SerialPort::deviceInUse() const
{
    // Qt's port name drops "/dev/": keep the path as the operator knows it.
    return portOpen() ? m_device : QString();
}

void SerialPort::applySettings()
{
    const LineSettings line = parseSettings(m_settingsText).value_or(LineSettings {});
    m_port->setBaudRate(line.baud);
    m_port->setParity(line.parity);
    m_port->setDataBits(line.dataBits);
    m_port->setStopBits(line.stopBits);
    switch (m_handshaking) {
    case Handshaking::None:
        m_port->setFlowControl(QSerialPort::NoFlowControl);
        break;
    case Handshaking::XonXoff:
        m_port->setFlowControl(QSerialPort::SoftwareControl);
        break;
    case Handshaking::RtsCts:
        m_port->setFlowControl(QSerialPort::HardwareControl);
        break;
    }
    if (m_port->isOpen())
        onlyXonResumes(*m_port);
}

SerialPort::OpenResult SerialPort::open()
{
    if (portOpen())
        return { false, PortAlreadyOpen, {} };
    if (m_port->isOpen()) {
        // A lost device whose queued close has not run yet.
        m_transmitter->drop();
        m_port->close();
    }
    if (m_number < 1 || m_number > 99)
        return { false, InvalidPortNumber, QStringLiteral("There is no port %1.").arg(m_number) };
    return openDevice(deviceName(m_number));
}

SerialPort::OpenResult SerialPort::reopen()
{
    const QString device = m_device;
    close();
    if (portOpen())
        return { false, PortAlreadyOpen, {} };
    return openDevice(device);
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
        return { false, PortOpenFailed, reason };
    }
    // Some drivers (pseudo-terminals) refuse the modem lines; that does not stop the port.
    m_port->clearError();
    onlyXonResumes(*m_port);
    ++m_openCount;
    startLineCounters();
    emit openChanged(true);
    return { true, 0, {} };
}

void SerialPort::close()
{
    if (!m_port->isOpen())
        return;
    if (!m_lost) {
        // Whatever is queued leaves first; a far end holding XOFF is reported and
        // waited for, and only the operator's Cancel (abandon()) gives it up.
        const bool waiting = std::exchange(m_waiting, true);
        const bool drained = m_transmitter->drain();
        m_waiting = waiting;
        if (!m_port->isOpen())
            return; // abandoned or lost meanwhile: closed already
        // The event loop was told to quit (the program ends): one bound more, then go.
        if (!drained && !m_transmitter->drainWithinBound())
            m_transmitter->drop();
        // Whatever arrived up to now is kept for the next read.
        const QByteArray rest = m_port->readAll();
        if (!rest.isEmpty()) {
            m_input += rest;
            raiseReceiveLater();
        }
    }
    closeNow();
}

void SerialPort::abandon()
{
    if (!m_port->isOpen())
        return;
    m_transmitter->drop();
    closeNow();
}

void SerialPort::closeNow()
{
    m_port->close();
    m_port->clearError();
    emit openChanged(false);
}

bool SerialPort::output(const QByteArray& bytes)
{
    if (!portOpen())
        return false;
    const bool waiting = std::exchange(m_waiting, true);
    const bool left = m_transmitter->send(bytes);
    m_waiting = waiting;
    return left;
}

void SerialPort::abortWaits()
{
    m_transmitter->abortWaits();
}

QByteArray SerialPort::input()
{
    return std::exchange(m_input, {});
}

void SerialPort::discardInBuffer()
{
    m_input.clear();
    if (m_port->isOpen())
        m_port->clear(QSerialPort::Input);
}

void SerialPort::discardOutBuffer()
{
    // Every output() returns only once its bytes have left, so nothing the operator
    // sent can be waiting here; the transmit buffer is empty already.
}

int SerialPort::commEvent() const
{
    return m_event;
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
    if (bytes.isEmpty())
        return;
    m_input += bytes;
    // Inside a write or close the handlers must not run: they may write or close.
    if (m_waiting) {
        raiseReceiveLater();
        return;
    }
    raise(EvReceive);
    noteLineErrors();
}

void SerialPort::raiseReceiveLater()
{
    if (m_receivePending)
        return;
    m_receivePending = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_receivePending = false;
            if (!m_input.isEmpty())
                raise(EvReceive);
            if (m_port->isOpen())
                noteLineErrors();
        },
        Qt::QueuedConnection);
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
    static constexpr int events[5] = { ErOverrun, ErRxOver, ErFrame, ErRxParity, ErBreak };
    for (int i = 0; i < 5; ++i) {
        if (now[i] != m_lineCounters[i]) {
            m_lineCounters[i] = now[i];
            raise(events[i]);
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
    m_transmitter->drop();
    closeNow();
    emit deviceLost(reason);
}

void SerialPort::raise(int event)
{
    m_event = event;
    emit commChanged();
}
