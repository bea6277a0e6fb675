#pragma once

#include "form1.h"

// The hourglass on the main window for as long as a command's step lives, whichever
// way the command ends.
class BusyPointer
{
public:
    explicit BusyPointer(form1& window)
        : m_window(window)
    {
        m_window.setBusyPointer(true);
    }
    ~BusyPointer() { m_window.setBusyPointer(false); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

private:
    form1& m_window;
};
