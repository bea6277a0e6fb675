#pragma once

#include "form1.h"
#include <QCoro/QCoroTask>

#include <QObject>
#include <QString>

// One dump request of the "Receive" frame that first asks for a log file.
struct LogUpload
{
    QPushButton* Ui::form1::*button;
    const char* title; // of the log-file dialog
    const char* filter;
    const char* command;
    bool enablesSend;
};

// The "Receive" frame: "Receive" enables it; six buttons ask for a dump into a
// chosen log file, "PAR" and "ALL" for a dump without one, "Help" for the help
// text. The receive path writes whatever arrives; these only open the log.
class UploadHandlers : public QObject
{
    Q_OBJECT

public:
    explicit UploadHandlers(form1& window);

private:
    void upload_Click();
    void logUpload_Click(const LogUpload& upload);
    void up_par_Click();
    void up_all_Click();
    void up_hlp_Click();
    // The commands as queued.
    QCoro::Task<> logUploadCommand(const LogUpload& upload);
    QCoro::Task<> fixedUploadCommand(QByteArray line, bool enablesSend);
    QCoro::Task<> helpCommand();

    // Closes the open log and hides its close button.
    void closeLogFirst();
    // Asks for the log file and opens it; false when the command must not be sent.
    bool chooseLog(const LogUpload& upload);

    // Whether a chosen log path names a file, or why it cannot name one at all.
    struct LogLookUp
    {
        bool exists = false;
        QString failure; // the system's reason; empty when the look-up worked
    };
    static LogLookUp lookUp(const QString& path);

    form1& m_window;
};
