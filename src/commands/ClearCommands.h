#pragma once

#include "FormControls.h"

#include <QCoro/QCoroTask>
#include <QObject>
#include <QString>

// One clear button: a single entry (with its box) or a whole database.
struct ClearCommand
{
    QPushButton* Ui::form1::*button;
    const char* keyword;
    const char* question; // the confirmation text
    FormControls::Box box = nullptr; // single-entry clears: the entry to delete
    FormControls::Widget next = nullptr; // focus after sending
    const char* warning = nullptr; // empty value or closed port
    const char* warningTitle = nullptr;
};

// The six clear buttons of the parameter panel.
class ClearCommands : public QObject
{
    Q_OBJECT

public:
    explicit ClearCommands(form1& window);

private:
    void clear_Click(const ClearCommand& command);
    // The command as queued, with the entry its box held when it was asked for.
    QCoro::Task<> clearCommand(const ClearCommand& command, QString value);
    bool confirmed(const ClearCommand& command);

    form1& m_window;
};
