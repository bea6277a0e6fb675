#pragma once

#include "FormControls.h"

#include <QCoro/QCoroTask>
#include <QObject>
#include <QString>

class QLineEdit;
class form1;

// One button of the parameter panel and the line it sends.
struct ParameterCommand
{
    enum class Kind {
        Value, // button with value guard and prompt, and Enter in the box
        Fixed, // button only; box (if any) rides along without a guard
        Message, // the welcome message: button only, one combined test
    };
    // What a command changes besides the line it sends.
    enum class Effect { None, EnableArnFirst, DisableArn, EnableSystemId, DisableSystemId };

    Kind kind;
    const char* keyword;
    QPushButton* Ui::form1::*button;
    FormControls::Box box = nullptr; // value box
    const char* prompt = nullptr; // value guard text
    FormControls::Widget next = nullptr; // focus after sending
    Effect effect = Effect::None;
    const char* enterGuardTitle = "Disconnect"; // closed-port title of Enter in the box
    bool fourDigits = false; // the value must be exactly four digits, on both paths
};

// The handlers of the parameter panel: every button Click, Enter in the value
// boxes and the caret of the new-master-code box, all driven from the table.
class ParameterCommands : public QObject
{
    Q_OBJECT

public:
    explicit ParameterCommands(form1& window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void button_Click(const ParameterCommand& command);
    void box_KeyPress(const ParameterCommand& command);

    // The commands as queued: each takes the value its box held when it was asked for.
    QCoro::Task<> buttonCommand(const ParameterCommand& command, QString value);
    QCoro::Task<> enterCommand(const ParameterCommand& command, QString value);
    QCoro::Task<> messageCommand(QString text);
    // A value the command refuses is told and not sent; false then.
    bool acceptsValue(const ParameterCommand& command, const QString& value);
    QCoro::Task<bool> send(const ParameterCommand& command, QString value, QString guardTitle);
    QString valueOf(const ParameterCommand& command) const;
    void focusOn(FormControls::Widget control);

    form1& m_window;
};
