#include "SerialPort.h"

#include "SettingsStore.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFile>
#include <QSerialPort>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <utility>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
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

// Bits on the line for one character: start, data, parity, stop.
int bitsPerCharacter(const LineSettings& line)
{
    const int parity = line.parity == QSerialPort::NoParity ? 0 : 1;
    const int stop = line.stopBits == QSerialPort::OneStop ? 1 : 2;
    return 1 + int(line.dataBits) + parity + stop;
}

// The slack every wait for the line gets beyond the line time of its bytes.
constexpr int WriteSlackMs = 2000;
// How often a wait for the line looks again while nothing else wakes it.
constexpr int LookIntervalMs = 10;

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

QString groupName(gid_t gid)
{
    if (const group* entry = getgrgid(gid))
        return QString::fromLocal8Bit(entry->gr_name);
    return QString::number(gid);
}

bool inGroup(gid_t gid)
{
    if (getegid() == gid)
        return true;
    gid_t groups[256];
    const int count = getgroups(256, groups);
    for (int i = 0; i < count; ++i) {
        if (groups[i] == gid)
            return true;
    }
    return false;
}

// Why the device would not open, in words an operator can act on.
QString openFailureReason(const QString& device, QSerialPort::SerialPortError error, const QString& qtText)
{
    const QByteArray path = QFile::encodeName(device);
    struct stat info
    {
    };
    if (::stat(path.constData(), &info) != 0)
        return QStringLiteral("There is no device %1.").arg(device);

    const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    const int openError = errno;
    if (fd >= 0)
        ::close(fd);
    if (fd < 0) {
        switch (openError) {
        case EACCES:
        case EPERM:
            if (!inGroup(info.st_gid))
                return QStringLiteral("Permission denied: you are not a member of the group \"%1\" that "
                                      "owns %2.")
                    .arg(groupName(info.st_gid), device);
            return QStringLiteral("Permission denied for %1 (after joining its group \"%2\", log in "
                                  "again).")
                .arg(device, groupName(info.st_gid));
        case EBUSY:
            return QStringLiteral("%1 is in use by another program.").arg(device);
        case ENXIO:
        case ENODEV:
        case ENOENT:
            return QStringLiteral("There is no device %1.").arg(device);
        default:
            return QStringLiteral("%1: %2.").arg(device, qt_error_string(openError));
        }
    }
    // The device opens on its own, so another program's lock file kept Qt out.
    if (error == QSerialPort::PermissionError)
        return QStringLiteral("%1 is in use by another program.").arg(device);
    return qtText.isEmpty() ? QString() : QStringLiteral("%1: %2.").arg(device, qtText);
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

QString openFailureReason(const QString& device, QSerialPort::SerialPortError error, const QString& qtText)
{
    switch (error) {
    case QSerialPort::DeviceNotFoundError:
        return QStringLiteral("There is no device %1.").arg(device);
    case QSerialPort::PermissionError:
        return QStringLiteral("%1 is in use by another program or access is denied.").arg(device);
    default:
        return qtText.isEmpty() ? QString() : QStringLiteral("%1: %2.").arg(device, qtText);
    }
}
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

SerialPort::~SerialPort()
{
    if (m_port->isOpen()) {
        m_port->clear(QSerialPort::Output);
        m_port->close();
    }
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

int SerialPort::sThreshold() const
{
    return m_sThreshold;
}

bool SerialPort::portOpen() const
{
    return m_port->isOpen() && !m_lost;
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
}

SerialPort::OpenResult SerialPort::open()
{
    if (portOpen())
        return { false, PortAlreadyOpen, {} };
    if (m_port->isOpen()) {
        // A lost device whose queued close has not run yet.
        m_port->clear(QSerialPort::Output);
        m_port->close();
    }
    if (m_number < 1 || m_number > 99)
        return { false, InvalidPortNumber, QStringLiteral("There is no port %1.").arg(m_number) };

    const QString device = deviceName(m_number);
    m_port->setPortName(device);
    applySettings();
    m_lost = false;
    if (!m_port->open(QIODevice::ReadWrite)) {
        const QString reason = openFailureReason(device, m_port->error(), m_port->errorString());
        m_port->clearError();
        return { false, PortOpenFailed, reason };
    }
    // Some drivers (pseudo-terminals) refuse the modem lines; that does not stop the port.
    m_port->clearError();
    ++m_openCount;

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
    return { true, 0, {} };
}

void SerialPort::close()
{
    if (!m_port->isOpen())
        return;
    bool drained = false;
    if (!m_lost) {
        const bool waiting = std::exchange(m_waiting, true);
        drained = drainToSystem() && drainDriver();
        m_waiting = waiting;
        // Whatever arrived up to now is kept for the next read.
        const QByteArray rest = m_port->readAll();
        if (!rest.isEmpty()) {
            m_input += rest;
            raiseReceiveLater();
        }
    }
    // Past the bound (far end holding XOFF) the driver would hold the close for
    // half a minute: drop what is left instead.
    if (!drained)
        m_port->clear(QSerialPort::Output);
    m_port->close();
    m_port->clearError();
}

int SerialPort::lineTimeMs(qint64 bytes) const
{
    const LineSettings line = parseSettings(m_settingsText).value_or(LineSettings {});
    return int((bytes * bitsPerCharacter(line) * 1000 + line.baud - 1) / line.baud);
}

bool SerialPort::waitInLoop(
    const QDeadlineTimer& deadline, const std::function<bool()>& done, const std::function<void()>& poke)
{
    const auto over = [&] { return m_lost || !m_port->isOpen() || deadline.hasExpired(); };
    if (done() || over())
        return done();
    // A nested loop that sleeps until the next event, so the window goes on
    // answering clicks while the far end holds the line.
    QEventLoop loop;
    QTimer look;
    look.setInterval(LookIntervalMs);
    connect(&look, &QTimer::timeout, &loop, [&] {
        if (poke && !over())
            poke();
        if (done() || over())
            loop.quit();
    });
    connect(m_port.get(), &QSerialPort::bytesWritten, &loop, [&] {
        if (done())
            loop.quit();
    });
    connect(m_port.get(), &QSerialPort::aboutToClose, &loop, &QEventLoop::quit);
    connect(this, &SerialPort::deviceLost, &loop, &QEventLoop::quit);
    look.start();
    loop.exec();
    return done() && !m_lost;
}

bool SerialPort::drainToSystem()
{
    const QDeadlineTimer deadline(lineTimeMs(m_port->bytesToWrite()) + WriteSlackMs);
    // Qt writes on its write notifier; after a would-block (XOFF) it waits for the
    // next write, so the look also pushes once more.
    return waitInLoop(
        deadline, [this] { return m_port->bytesToWrite() == 0; }, [this] { m_port->flush(); });
}

bool SerialPort::drainDriver()
{
#ifdef Q_OS_UNIX
    const int fd = int(m_port->handle());
    const auto pending = [fd] {
        int count = 0;
        return ::ioctl(fd, TIOCOUTQ, &count) == 0 ? count : 0;
    };
    if (pending() <= 0)
        return true;
    const QDeadlineTimer deadline(lineTimeMs(pending()) + WriteSlackMs);
    return waitInLoop(deadline, [&pending] { return pending() <= 0; }, {});
#else
    return true;
#endif
}

bool SerialPort::output(const QByteArray& bytes)
{
    if (!portOpen())
        return false;
    if (bytes.isEmpty())
        return true;
    if (m_port->write(bytes) != bytes.size())
        return false;
    const bool waiting = std::exchange(m_waiting, true);
    const bool written = drainToSystem();
    m_waiting = waiting;
    if (!written && !m_lost) {
        // The far end held XOFF past the bound: the transmit buffer stays full. The
        // bytes stay queued and go out on XON; the event comes from the event loop,
        // not from inside the caller's write.
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (portOpen())
                    raise(ErTxFull);
            },
            Qt::QueuedConnection);
    }
    return written;
}

bool SerialPort::outputHeld() const
{
    return !m_lost && m_port->isOpen() && m_port->bytesToWrite() > 0;
}

QByteArray SerialPort::input()
{
    return std::exchange(m_input, {});
}

int SerialPort::inBufferCount() const
{
    return int(m_input.size());
}

int SerialPort::outBufferCount() const
{
    return m_port->isOpen() ? int(m_port->bytesToWrite()) : 0;
}

void SerialPort::discardInBuffer()
{
    m_input.clear();
    if (m_port->isOpen())
        m_port->clear(QSerialPort::Input);
}

void SerialPort::discardOutBuffer()
{
    if (m_port->isOpen())
        m_port->clear(QSerialPort::Output);
}

int SerialPort::commEvent() const
{
    return m_event;
}

QString SerialPort::deviceName(int number) const
{
    const QString key = QStringLiteral("COM%1").arg(number);
    const QString stored = m_settings.value(QStringLiteral("Ports"), key);
    if (!stored.isEmpty())
        return stored;
    const QString fromEnvironment = qEnvironmentVariable(qPrintable(QStringLiteral("VESTIBAR_") + key));
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
#ifdef Q_OS_WIN
    return key;
#else
    return QStringLiteral("/dev/ttyS%1").arg(number - 1);
#endif
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
    const QString reason = QStringLiteral("The connection to %1 was lost.").arg(deviceName(commPort()));
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
    emit deviceLost(reason);
}

void SerialPort::raise(int event)
{
    m_event = event;
    emit commChanged();
}
