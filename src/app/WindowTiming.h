#pragma once

#include <QDateTime>

#include <chrono>
#include <functional>

// What a main window takes its time from: the length of Timer1's tick and the PC's
// clock. Each window has its own, so a test's short tick or fixed time stays with
// the window it built.
struct WindowTiming
{
    std::chrono::milliseconds tick { 1000 };
    std::function<QDateTime()> clock = [] { return QDateTime::currentDateTime(); };
};
