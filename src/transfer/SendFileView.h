#pragma once

#include <QObject>

class form1;

// "Open &Send File": a chosen database file opened in the editor of its kind,
// to be viewed or changed before it is sent.
class SendFileView : public QObject
{
    Q_OBJECT

public:
    explicit SendFileView(form1& window);

private:
    void open_send_Click();

    form1& m_window;
};
