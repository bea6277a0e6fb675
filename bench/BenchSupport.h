#pragma once

#include <QString>

#include <chrono>

class QAbstractButton;
class form1;

// What the benchmarks share: CPU time of the calling thread, resident memory,
// and one figure printed per line.
namespace BenchSupport {

// User + system CPU time of the calling thread.
std::chrono::microseconds threadCpuTime();
// Resident set size of this process in kB (0 when unknown).
long residentKb();
// Uses the offscreen platform when no display is there.
void chooseOffscreenWithoutDisplay();
// Sleeps in the event loop until the window's commands have ended.
void settle(form1& window);

// Presses a button and sleeps until the commands it started have ended: the
// wall time in ms and the calling thread's CPU time meanwhile.
struct Timed
{
    double wallMs = 0;
    std::chrono::microseconds cpu {};
};
Timed pressAndSettle(form1& window, QAbstractButton& button);

// "name: value unit (target ...)"
void figure(const QString& name, double value, const QString& unit, const QString& target = {});

} // namespace BenchSupport
