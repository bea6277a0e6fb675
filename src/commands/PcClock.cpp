#include "PcClock.h"

namespace {

std::function<QDateTime()>& installedClock()
{
    static std::function<QDateTime()> current;
    return current;
}

} // namespace

QDateTime PcClock::now()
{
    return installedClock() ? installedClock()() : QDateTime::currentDateTime();
}

void PcClock::set(std::function<QDateTime()> function)
{
    installedClock() = std::move(function);
}
