#pragma once

#include <QString>

#include <chrono>

// What the benchmarks share: CPU time of the calling thread, resident memory,
// and one figure printed per line.
namespace BenchSupport {

// User + system CPU time of the calling thread.
std::chrono::microseconds threadCpuTime();
// Resident set size of this process in kB (0 when unknown).
long residentKb();
// Uses the offscreen platform when no display is there.
void chooseOffscreenWithoutDisplay();
// "name: value unit (target ...)"
void figure(const QString& name, double value, const QString& unit, const QString& target = {});

} // namespace BenchSupport
