#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QPlainTextEdit;
class form1;

// What arrives on the serial line: the OnComm handler, the received-content box
// Text1 and the communications log, and status panel 1.
class ReceivePath : public QObject
{
    Q_OBJECT

public:
    explicit ReceivePath(form1& window);

    // OnComm for one event code of the serial component.
    void handleEvent(int code);

    // Cleans text, appends it to box (trimming the box first) and writes the same
    // text to the open log.
    void AppendReceived(QPlainTextEdit& box, const QString& text);

private:
    void MSComm1_OnComm();
    void MSComm1_DeviceLost(const QString& reason);
    void reportLineError(const QString& error);
    void writeLog(const QByteArray& bytes);

    form1& m_window;
    QByteArray m_logPending; // appended text the log has not taken yet
    bool m_writingLog = false;
};
