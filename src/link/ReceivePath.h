#pragma once

#include "ReceiveFilter.h"
#include "SerialPort.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <optional>

class QPlainTextEdit;
class QTimer;
class form1;

// What arrives on the serial line: the OnComm handler, the received-content box
// Text1 and the communications log, and status panel 1.
class ReceivePath : public QObject
{
    Q_OBJECT

public:
    explicit ReceivePath(form1& window);

    // OnComm for one event of the line.
    void handleEvent(ReceiveFilter::LinkEvent event, const QByteArray& received = {});

    // Cleans text, appends it to box (trimming the box first), then writes it to the
    // open log. The box takes what arrives at most every DisplayIntervalMs; the first
    // piece after a quiet spell at once.
    void AppendReceived(QPlainTextEdit& box, const QString& text);
    // Puts what is waiting for the box into it now.
    void showPending();

    static constexpr int DisplayIntervalMs = 40;

private:
    void MSComm1_Received(const QByteArray& bytes);
    void MSComm1_LineError(SerialPort::LineError error);
    void MSComm1_HoldOutlasted();
    void MSComm1_DeviceLost(const QString& reason);
    void Timer1_Timer();
    void reportLineError(const QString& error);
    void writeLog(const QByteArray& bytes);

    form1& m_window;
    QPlainTextEdit* m_box = nullptr;
    std::optional<ReceiveFilter::Batch> m_pending; // text the box has not shown yet
    QTimer* m_display = nullptr;
    QElapsedTimer m_sinceShown;
    QByteArray m_logPending; // appended text the log has not taken yet
    bool m_writingLog = false;
    bool m_holdShown = false; // the status bar counts the present hold
};
