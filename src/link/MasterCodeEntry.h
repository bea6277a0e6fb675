#pragma once

#include <QCoro/QCoroTask>
#include <QObject>
#include <QString>

class QKeyEvent;
class QLineEdit;
class form1;

// The handlers of the master-code box Text3, the phone box Text2 and the
// MasterCode button.
class MasterCodeEntry : public QObject
{
    Q_OBJECT

public:
    explicit MasterCodeEntry(form1& window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Mastercode_Click();
    bool Text3_KeyPress(QKeyEvent* key);
    bool Text2_KeyPress(QKeyEvent* key);
    void Text2_Change();

    // Steps shared by the button and Enter, as queued with the code of the moment;
    // the button's last step puts the focus on Receive.
    QCoro::Task<> masterCodeCommand(QString code, bool fromButton);

    form1& m_window;
    QLineEdit* m_text3 = nullptr;
    QLineEdit* m_text2 = nullptr;
};
