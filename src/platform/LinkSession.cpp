#include "LinkSession.h"

#include "CommandQueue.h"
#include "Wakeup.h"

#include <QTimer>

#include <algorithm>
#include <utility>

namespace {
constexpr char Xoff = 0x13;
constexpr char Xon = 0x11;
// While Qt still holds bytes the driver would not take, look again this often.
constexpr int RetryMs = 10;
} // namespace

LinkSession::LinkSession(const SettingsStore& settings, QObject* parent)
    : QObject(parent)
    , m_port(new SerialPort(settings, this))
    , m_commands(new CommandQueue(this))
    , m_pace(new QTimer(this))
    , m_bound(new QTimer(this))
{
    m_pace->setSingleShot(true);
    m_pace->setTimerType(Qt::PreciseTimer);
    m_bound->setSingleShot(true);
    connect(m_pace, &QTimer::timeout, this, &LinkSession::pieceSent);
    connect(m_bound, &QTimer::timeout, this, &LinkSession::holdBoundPassed);
    connect(m_port, &SerialPort::received, this, &LinkSession::onReceived);
    connect(m_port, &SerialPort::lineError, this, &LinkSession::lineError);
    connect(m_port, &SerialPort::deviceLost, this, &LinkSession::onDeviceLost);
    connect(m_port, &SerialPort::openChanged, this, [this](bool open) {
        // Nothing waits for a port that closed: a line left queued would go out at
        // the next open, long after the operator asked for it.
        if (!open)
            dropOutput();
        emit openChanged(open);
    });
}

LinkSession::~LinkSession() = default;

CommandQueue& LinkSession::commands()
{
    return *m_commands;
}

void LinkSession::setCommPort(int number)
{
    m_port->setCommPort(number);
}

int LinkSession::commPort() const
{
    return m_port->commPort();
}

bool LinkSession::setSettings(const QString& settings)
{
    return m_port->setSettings(settings);
}

QString LinkSession::settings() const
{
    return m_port->settings();
}

QString LinkSession::deviceName(int number) const
{
    return m_port->deviceName(number);
}

QString LinkSession::deviceInUse() const
{
    return m_port->deviceInUse();
}

int LinkSession::openCount() const
{
    return m_port->openCount();
}

bool LinkSession::portOpen() const
{
    return m_port->isOpen();
}

SerialPort::OpenResult LinkSession::open()
{
    return m_port->open();
}

QCoro::Task<SerialPort::OpenResult> LinkSession::reopen()
{
    co_await drain();
    if (!m_port->isOpen())
        co_return SerialPort::OpenResult { SerialPort::OpenFailure::Failed, {} };
    m_port->close();
    const SerialPort::OpenResult result = m_port->openAgain();
    if (result.ok())
        emit renewed();
    co_return result;
}

QCoro::Task<> LinkSession::close()
{
    co_await drain();
    m_port->close();
}

void LinkSession::abandon()
{
    dropOutput();
    m_port->close();
}

bool LinkSession::dropOutput()
{
    const bool dropped = !m_lines.empty();
    // A piece already written is on the line: it cannot be called back.
    for (QueuedLine& line : m_lines)
        settle(*line.state, LineState::Dropped);
    m_lines.clear();
    m_bound->stop();
    wakeWaiters();
    return dropped;
}

void LinkSession::discardInput()
{
    m_port->discardInput();
}

void LinkSession::settle(LineState& line, LineState::Status status)
{
    line.status = status;
    if (Wakeup* waiter = std::exchange(line.waiter, nullptr))
        waiter->fire();
}

QCoro::Task<bool> LinkSession::send(QByteArray bytes)
{
    if (!m_port->isOpen())
        co_return false;
    auto state = std::make_shared<LineState>();
    m_lines.push_back({ state, bytes });
    watchHold();
    pump();
    while (state->status == LineState::Waiting) {
        Wakeup settled(this);
        state->waiter = &settled;
        co_await settled.fired();
    }
    co_return state->status == LineState::Left;
}

QCoro::Task<bool> LinkSession::drain()
{
    while (!m_lines.empty() || m_inFlight > 0) {
        if (!m_port->isOpen())
            co_return false;
        Wakeup moved(this);
        m_waiters.append(&moved);
        co_await moved.fired();
        m_waiters.removeOne(&moved);
    }
    co_return true;
}

void LinkSession::wakeWaiters()
{
    for (Wakeup* waiter : std::exchange(m_waiters, {}))
        waiter->fire();
}

qint64 LinkSession::queuedBytes() const
{
    qint64 bytes = 0;
    for (const QueuedLine& line : m_lines)
        bytes += line.rest.size();
    return bytes;
}

void LinkSession::pump()
{
    if (m_pace->isActive() || m_held || m_lines.empty() || !m_port->isOpen())
        return;
    QByteArray piece;
    for (const QueuedLine& line : m_lines) {
        piece += line.rest.left(PieceBytes - piece.size());
        if (piece.size() == PieceBytes)
            break;
    }
    const qint64 taken = m_port->write(piece);
    if (taken <= 0) {
        m_pace->start(RetryMs);
        return;
    }
    // Lines whose last byte went with this piece have left once it is on the line.
    qint64 counted = 0;
    while (counted < taken) {
        QueuedLine& line = m_lines.front();
        const qint64 part = std::min<qint64>(line.rest.size(), taken - counted);
        line.rest.remove(0, part);
        counted += part;
        if (!line.rest.isEmpty())
            break;
        m_endsInFlight.push_back(line.state);
        m_lines.pop_front();
    }
    m_inFlight = taken;
    emit written(piece.left(taken));
    // The next piece goes when this one is on the line: the driver never holds more
    // than a piece, so an XOFF stops the line within two pieces.
    m_pace->start(m_port->lineTimeMs(taken));
}

void LinkSession::pieceSent()
{
    if (m_inFlight > 0 && m_port->isOpen() && m_port->pendingOutput() > 0) {
        // Qt has not handed the piece over yet, or the device is slower than its
        // settings say: wait for it.
        m_pace->start(RetryMs);
        return;
    }
    m_inFlight = 0;
    for (const auto& line : std::exchange(m_endsInFlight, {}))
        settle(*line, LineState::Left);
    wakeWaiters();
    pump();
}

void LinkSession::note(const QString& what)
{
    emit noted(what);
}

void LinkSession::onReceived(const QByteArray& bytes)
{
    emit arrived(bytes);
    QByteArray text;
    text.reserve(bytes.size());
    const bool wasHeld = m_held;
    for (const char byte : bytes) {
        if (byte == Xoff)
            m_held = true;
        else if (byte == Xon)
            m_held = false;
        else
            text += byte;
    }
    if (m_held != wasHeld) {
        if (m_held) {
            m_heldSince.start();
        } else {
            m_heldSince.invalidate();
            m_reported = false;
            m_bound->stop();
        }
        emit heldChanged(m_held);
        watchHold();
        pump();
    }
    if (!text.isEmpty())
        emit received(text);
}

void LinkSession::watchHold()
{
    // The bound runs from the moment a line waits under a hold.
    if (m_held && !m_reported && !m_lines.empty() && !m_bound->isActive())
        m_bound->start(std::chrono::milliseconds(m_port->lineTimeMs(queuedBytes())) + m_slack);
}

void LinkSession::holdBoundPassed()
{
    if (!m_held || m_reported || m_lines.empty())
        return;
    m_reported = true;
    emit holdOutlasted();
}

void LinkSession::onDeviceLost(const QString& reason)
{
    // The line is gone: nothing queued can reach the controller any more.
    dropOutput();
    emit deviceLost(reason);
}

bool LinkSession::held() const
{
    return m_held;
}

qint64 LinkSession::heldForMs() const
{
    return m_heldSince.isValid() ? m_heldSince.elapsed() : 0;
}

void LinkSession::setHoldSlack(std::chrono::milliseconds slack)
{
    m_slack = slack;
}
