#pragma once

#include "ControllerState.h"
#include "LineSplitter.h"

#include <QByteArray>
#include <QDateTime>

#include <functional>

// The simulated controller: command lines in, reply lines out. No I/O of its own,
// so it is driven directly by tests and by the device side alike. Every reply is
// one or more lines ended by CR LF and starting "SIM:" unless it is a stored line.
class ControllerSim
{
public:
    using Clock = std::function<QDateTime()>;

    // The clock is the host's; the controller keeps its own offset from it, set by
    // TIM and DAT. Without one the system clock is used.
    explicit ControllerSim(Clock clock = {});

    // Bytes from the line, in any fragments; returns the replies to the lines they complete.
    QByteArray feed(const QByteArray& bytes);
    // One complete line without its end.
    QByteArray answer(const QByteArray& line);

    QByteArray greeting() const;
    bool inProgrammingMode() const { return m_programming; }
    QDateTime now() const;

    // The link went away (hang-up): programming mode ends, a half line is dropped.
    void dropLink();
    // True once after "DIS" was answered: the caller in front (a modem) hangs up.
    bool takeDisconnect();
    // True once after anything that belongs in the saved state changed.
    bool takeChanged();

    ControllerState& state() { return m_state; }
    const ControllerState& state() const { return m_state; }

private:
    QByteArray enterProgramming(const QByteArray& code);
    QByteArray storeRecord(const SimFormat::RecordKind& kind, const QByteArray& line);
    QByteArray setParameter(const QByteArray& line);
    QByteArray clear(const QByteArray& line);
    QByteArray setTime(const QByteArray& line);
    QByteArray setDate(const QByteArray& line);
    QByteArray dump(const QByteArray& command) const;
    QByteArray dumpRecords(const SimFormat::RecordKind& kind) const;
    QByteArray dumpEvents() const;
    QByteArray dumpParameters() const;
    QByteArray endProgramming();
    QByteArray disconnect();
    void logEvent(QByteArrayView what);

    Clock m_clock;
    qint64 m_offsetSeconds = 0;
    LineSplitter m_splitter;
    ControllerState m_state;
    bool m_programming = false;
    bool m_disconnected = false;
    bool m_changed = false;
};
