#pragma once

#include <QDateTime>

#include <functional>

// The PC's clock as the clock commands read it. Tests put a fixed time in its
// place; everything else reads the system clock.
namespace PcClock {

QDateTime now();

// Replaces the clock; an empty function restores the system clock.
void set(std::function<QDateTime()> clock);

} // namespace PcClock
