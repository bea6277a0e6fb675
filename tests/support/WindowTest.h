#pragma once

#include "MainWindowFixture.h"
#include "TestEnvironment.h"

#include <QObject>

// Base of a test program that drives the main window: each test function opens a
// fresh window (stored settings cleared, port 1 on a pseudo-terminal) and ends with
// every announced dialog shown.
class WindowTest : public QObject
{
protected:
    // Builds the window; shows it and waits until it is active when show is true.
    void openWindow(bool show = true);
    // Checks that every announced dialog was shown, then closes the window.
    void closeWindow();

    // A control of the window by its design name; stops the program when missing.
    QWidget* control(const QString& name) const;
    template <class T> T* control(const QString& name) const { return qobject_cast<T*>(control(name)); }
    // Clicks a control and waits until the commands the click started have ended.
    void click(const QString& name) const;
    // The programming state: every control of the link control set usable.
    void enableLinkControls() const;
    // Waits until every command the operator asked for has ended.
    void settle(int timeoutMs = 10000) const;

    TestEnvironment m_environment;
    // The next window's tick and clock (a short tick, the PC's clock).
    WindowTiming m_timing { std::chrono::milliseconds(20) };
    std::unique_ptr<MainWindowFixture> m_fixture;
    form1* m_window = nullptr;
};
