#pragma once

#include <QCoro/QCoroTask>
#include <QObject>
#include <QString>

class QRadioButton;
class form1;

// The link panel: the port and mode buttons, Connect and Disconnect, and the
// opening of the port that Connect uses.
class ConnectionHandlers : public QObject
{
    Q_OBJECT

public:
    explicit ConnectionHandlers(form1& window);

    // Opens the chosen port at the link's fixed settings; says so when it cannot.
    void OpenPort();

private:
    void connect_Click();
    void close1_Click();
    // The commands as queued; Connect dials the phone number of its click.
    QCoro::Task<> connectCommand(QString phone);
    QCoro::Task<> disconnectCommand();
    // The adapter was pulled or the line hung up: the window as after Disconnect.
    void MSComm1_DeviceLost(const QString& reason);
    // What Disconnect leaves: the link controls unusable, the focus on Connect, the
    // send's count, bar and banner reset.
    void showDisconnected();
    void OptionPort_Click(int number);
    void OptionMode_Click(bool rs232);

    QRadioButton* portButton(int number) const;

    form1& m_window;
};
