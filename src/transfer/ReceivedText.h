#pragma once

#include <QObject>
#include <QString>

class ReceivePath;
class form1;

// The received-content box as a text: saved to a file, printed under a heading,
// and the Edit menu's Cut, Copy and Paste on the focused box.
class ReceivedText : public QObject
{
    Q_OBJECT

public:
    // The box is read after the receive path has put in what is still on its way.
    ReceivedText(form1& window, ReceivePath& received);

private:
    void save_received_Click();
    void print_receive_Click();
    void cut_file_Click();
    void copy_file_Click();
    void paset_file_Click();

    // Copy and Cut: only while the received-content box holds text.
    void copySelection(bool cut);
    QString receivedText() const;

    form1& m_window;
    ReceivePath& m_received;
    QString m_fileName; // offered again by the next save
};
