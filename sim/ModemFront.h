#pragma once

#include "ControllerSim.h"
#include "LineSplitter.h"

#include <QByteArray>
#include <QDateTime>

#include <optional>

// A Hayes modem in front of the controller: AT commands are answered "OK" until
// "ATDT<number>" dials; after the dial delay it reports "CONNECT 1200" and passes
// lines to the controller, until the controller closes the link with "DIS".
class ModemFront
{
public:
    using Clock = ControllerSim::Clock;
    static constexpr int defaultDialDelayMs = 1500;

    ModemFront(ControllerSim& controller, Clock clock = {}, int dialDelayMs = defaultDialDelayMs);

    QByteArray feed(const QByteArray& bytes);
    // What became due by now (the answer to a dial); empty when nothing did.
    QByteArray poll();
    // Milliseconds until poll() has something to say; nothing when no dial is pending.
    std::optional<qint64> msUntilDue() const;

    bool isOnline() const { return m_phase == Phase::Online; }

private:
    enum class Phase { Command, Dialling, Online };

    QByteArray command(const QByteArray& line);

    ControllerSim& m_controller;
    Clock m_clock;
    int m_dialDelayMs;
    LineSplitter m_splitter;
    Phase m_phase = Phase::Command;
    QDateTime m_connectAt;
};
