#pragma once

#include "WindowTiming.h"

#include <memory>

class Dialogs;
class QApplication;
class SettingsStore;
class form1;

// The start routine of the program and the wiring of every subsystem into form1.
namespace Vestibar {

// Builds the main window with the handlers of every subsystem connected to its
// controls. Tests build the same window with their own settings and dialogs.
std::unique_ptr<form1> createMainWindow(SettingsStore& settings, Dialogs& dialogs, WindowTiming timing = {});

// Splash, then the main window; returns when the main window is unloaded.
int start(QApplication& app);

} // namespace Vestibar
