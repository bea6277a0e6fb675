#pragma once

#include "WindowTiming.h"

#include <memory>

class Pty;
class ScriptedDialogs;
class SettingsStore;
class form1;

// The main window as the program builds it, with scripted dialogs, settings in the
// test environment and port 1 mapped to a fresh pseudo-terminal ([Ports] COM1).
class MainWindowFixture
{
public:
    // The window's tick is short unless a test asks for another.
    explicit MainWindowFixture(WindowTiming timing = { std::chrono::milliseconds(20) });
    ~MainWindowFixture();

    // Builds and shows the window (the Load sequence runs). Settings may be
    // prepared before.
    form1& show();
    form1& window() { return show(); }
    ScriptedDialogs& dialogs() { return *m_dialogs; }
    SettingsStore& settings() { return *m_settings; }
    Pty& pty() { return *m_pty; }

    // Selects port 1 and RS232 mode and presses Connect (no phone number needed);
    // drains what was sent.
    void connectRs232();

private:
    WindowTiming m_timing;
    std::unique_ptr<SettingsStore> m_settings;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<Pty> m_pty;
    std::unique_ptr<form1> m_window;
};
