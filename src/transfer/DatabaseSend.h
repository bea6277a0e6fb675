#pragma once

#include <QCoro/QCoroTask>
#include <QObject>
#include <QString>

class form1;

// "Send" and "DataBase": the programming controls, and a database file sent to
// the controller record by record, one pause before every non-empty line.
class DatabaseSend : public QObject
{
    Q_OBJECT

public:
    explicit DatabaseSend(form1& window);

private:
    void download_Click();
    void sendfileg_Click();
    QCoro::Task<> sendCommand();

    // The sending pass; total is the file's count of non-empty lines. Ends at the
    // end of the file, or early with one message when the port is gone.
    QCoro::Task<> sendLines(QString path, qint64 total);
    void restoreWindow();
    void showCount(qint64 count, qint64 total);

    form1& m_window;
    QString m_fileName; // kept from one use of the dialog to the next
};
