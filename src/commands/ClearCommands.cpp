#include "ClearCommands.h"

#include "CommandLine.h"
#include "CommandSender.h"
#include "Dialogs.h"
#include "LinkSession.h"
#include "form1.h"

#include <QAbstractButton>

#include <array>

namespace {

using FormControls::box;
using FormControls::widget;
using F = Ui::form1;

const std::array<ClearCommand, 6> clears { {
    { &F::clearacd, "KLR ACD", "Do you really want to delete Access Code DataBase ?", box<&F::meditacd>,
        widget<&F::medittnt>,
        " Please input the Access_Code you want to delete ! Warning: If you input '0' or '00' or '000' or "
        "'0000', "
        "All Access_Code in the system will be deleted!",
        "Clear Access Code" },
    { &F::cleartnt, "CLR TNT", "Do you really want to delete Tenant DataBase ?", box<&F::medittnt>,
        widget<&F::Crno>,
        " Please input the Tenant_Directory you want to delete ! Warning: If you input '0' or '00' or '000' "
        "or "
        "'0000', All tenants in the system will be deleted!",
        "Clear tenant" },
    { &F::clearats, "KLR ATS", "Do you really want to delete auto schedule DataBase ?" },
    { &F::clearevr, "KLR EVR", "Do you really want to delete EventRecord DataBase ?" },
    { &F::clearhld, "KLR HLD", "Do you really want to delete all Holidays DataBase ?" },
    { &F::cleartmz, "KLR TMZ", "Do you really want to delete Timezone DataBase ?" },
} };

} // namespace

ClearCommands::ClearCommands(form1& window)
    : QObject(&window)
    , m_window(window)
{
    for (const ClearCommand& command : clears)
        connect(m_window.ui().*command.button, &QAbstractButton::clicked, this,
            [this, &command] { clear_Click(command); });
}

void ClearCommands::clear_Click(const ClearCommand& command)
{
    const QString value = command.box ? FormControls::valueOf(command.box(m_window.ui())) : QString();
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

    if (value.isEmpty() || !m_window.MSComm1().portOpen()) {
        m_window.dialogs().inform(QString::fromLatin1(command.warning),
            QString::fromLatin1(command.warningTitle), Dialogs::Icon::Information);
        command.box(m_window.ui())->setFocus();
        co_return;
    }
    if (!confirmed(command))
        co_return;
    const bool sent = co_await Commands::SendCommandLine(m_window, CommandLine::withValue(keyword, value));
    if (!sent)
        co_return;
    command.next(m_window.ui())->setFocus();
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
