#include "ClearCommands.h"

#include "CommandLine.h"
#include "CommandSender.h"
#include "Dialogs.h"
#include "LinkSession.h"
#include "MaskedEdit.h"
#include "form1.h"

#include <QAbstractButton>

#include <array>

namespace {

const std::array<ClearCommand, 6> clears { {
    { "clearacd", "KLR ACD", "Do you really want to delete Access Code DataBase ?", "meditacd", "medittnt",
        " Please input the Access_Code you want to delete ! Warning: If you input '0' or '00' or '000' or "
        "'0000', "
        "All Access_Code in the system will be deleted!",
        "Clear Access Code" },
    { "cleartnt", "CLR TNT", "Do you really want to delete Tenant DataBase ?", "medittnt", "Crno",
        " Please input the Tenant_Directory you want to delete ! Warning: If you input '0' or '00' or '000' "
        "or "
        "'0000', All tenants in the system will be deleted!",
        "Clear tenant" },
    { "clearats", "KLR ATS", "Do you really want to delete auto schedule DataBase ?" },
    { "clearevr", "KLR EVR", "Do you really want to delete EventRecord DataBase ?" },
    { "clearhld", "KLR HLD", "Do you really want to delete all Holidays DataBase ?" },
    { "cleartmz", "KLR TMZ", "Do you really want to delete Timezone DataBase ?" },
} };

} // namespace

ClearCommands::ClearCommands(form1& window)
    : QObject(&window)
    , m_window(window)
{
    for (const ClearCommand& command : clears) {
        if (auto* button = m_window.findChild<QAbstractButton*>(QLatin1String(command.button)))
            connect(button, &QAbstractButton::clicked, this, [this, &command] { clear_Click(command); });
        else
            qWarning("Clear button %s is missing", command.button);
    }
}

void ClearCommands::clear_Click(const ClearCommand& command)
{
    auto* box = command.box ? m_window.findChild<MaskedEdit*>(QLatin1String(command.box)) : nullptr;
    const QString value = box ? box->digits() : QString();
    Commands::enqueue(m_window, [this, &command, value] { return clearCommand(command, value); });
}

QCoro::Task<> ClearCommands::clearCommand(const ClearCommand& command, QString value)
{
    const QString keyword = QString::fromLatin1(command.keyword);
    if (!command.box) {
        // Whole database: the question comes before the port is looked at.
        if (confirmed(command))
            co_await Commands::SendCommandLine(m_window, CommandLine::fixed(keyword));
        co_return;
    }

    auto* box = m_window.findChild<MaskedEdit*>(QLatin1String(command.box));
    if (value.isEmpty() || !m_window.MSComm1().portOpen()) {
        m_window.dialogs().inform(QString::fromLatin1(command.warning),
            QString::fromLatin1(command.warningTitle), Dialogs::Icon::Information);
        if (box)
            box->setFocus();
        co_return;
    }
    if (!confirmed(command))
        co_return;
    const bool sent = co_await Commands::SendCommandLine(m_window, CommandLine::withValue(keyword, value));
    if (!sent)
        co_return;
    if (auto* next = m_window.findChild<QWidget*>(QLatin1String(command.next)))
        next->setFocus();
}

bool ClearCommands::confirmed(const ClearCommand& command)
{
    Dialogs::Message question;
    question.text = QString::fromLatin1(command.question);
    question.title = QStringLiteral("Delete Confirmation");
    question.buttons = Dialogs::Buttons::YesNo;
    question.icon = Dialogs::Icon::Exclamation;
    question.defaultButton = Dialogs::Answer::No;
    return m_window.dialogs().message(question) == Dialogs::Answer::Yes;
}
