#pragma once

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

    bool sending() const { return m_sending; }

private:
    void download_Click();
    void sendfileg_Click();

    // The sending pass; total is the file's count of non-empty lines. Ends at the
    // end of the file, or early with one message when the port is gone.
    void sendLines(const QString& path, qint64 total);
    void restoreWindow();
    void showCount(qint64 count, qint64 total);

    form1& m_window;
    QString m_fileName; // kept from one use of the dialog to the next
    bool m_sending = false;
    bool m_busy = false;
};
