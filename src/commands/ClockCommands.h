#pragma once

#include <QObject>

class form1;

// The Time, Date and END buttons.
class ClockCommands : public QObject
{
    Q_OBJECT

public:
    explicit ClockCommands(form1& window);

private:
    void RtRTc_Click();
    void date_Click();
    void endg_Click();

    bool sendClockLine(const QByteArray& line);
    void focusOn(const char* name);

    form1& m_window;
};
