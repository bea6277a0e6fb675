#pragma once

#include <QByteArray>
#include <QCoro/QCoroTask>
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

    // The commands as queued; the clock lines carry the PC's time of the click.
    QCoro::Task<> clockCommand(QByteArray line);
    QCoro::Task<> endCommand();

    form1& m_window;
};
