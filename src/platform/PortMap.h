#pragma once

#include <QString>

class SettingsStore;

// Which device each of the ports 1 to 4 opens. A variable VESTIBAR_COM<n> wins for
// the run it is set for; else the settings store's section "Ports", key "COM<n>";
// else the machine's n-th serial port ("COM<n>" on Windows, "/dev/ttyS<n-1>" elsewhere).
namespace PortMap {

// The section and the key of port n in the settings store.
QString section();
QString key(int number);

// The device port n opens now.
QString device(const SettingsStore& settings, int number);
// The stored entry alone ("" when none): what the operator chose.
QString storedDevice(const SettingsStore& settings, int number);
// The device port n opens when nothing is stored or set.
QString defaultDevice(int number);
// The name of the variable that overrides port n ("VESTIBAR_COM<n>").
QString environmentVariable(int number);
// The variable's device for this run, "" when it is not set.
QString environmentDevice(int number);
bool overriddenByEnvironment(int number);

// Stores the device for port n; an empty device brings back the default.
void store(SettingsStore& settings, int number, const QString& device);

} // namespace PortMap
