#include "ClockCommands.h"

#include "CommandLine.h"
#include "CommandSender.h"
#include "LinkSession.h"
#include "form1.h"

#include <QAbstractButton>

ClockCommands::ClockCommands(form1& window)
    : QObject(&window)
    , m_window(window)
{
    Ui::form1& ui = m_window.ui();
    connect(ui.RtRTc, &QAbstractButton::clicked, this, &ClockCommands::RtRTc_Click);
    connect(ui.date, &QAbstractButton::clicked, this, &ClockCommands::date_Click);
    connect(ui.endg, &QAbstractButton::clicked, this, &ClockCommands::endg_Click);
}

void ClockCommands::RtRTc_Click()
{
    // The clock is read once, at the click, before the port is looked at.
    const QByteArray line = CommandLine::time(m_window.now().time());
    Commands::enqueue(m_window, [this, line] { return clockCommand(line); });
}

void ClockCommands::date_Click()
{
    const QByteArray line = CommandLine::date(m_window.now().date());
    Commands::enqueue(m_window, [this, line] { return clockCommand(line); });
}

void ClockCommands::endg_Click()
{
    Commands::enqueue(m_window, [this] { return endCommand(); });
}

QCoro::Task<> ClockCommands::clockCommand(QByteArray line)
{
    // The clock lines go out on the port as it is, without the RS232 renewal.
    Commands::SendOptions options;
    options.renew = false;
    // Both leave the focus on Time.
    const bool sent = co_await Commands::SendCommandLine(m_window, line, options);
    if (sent)
        m_window.ui().RtRTc->setFocus();
}

QCoro::Task<> ClockCommands::endCommand()
{
    // The direct line's port is renewed first: the focus goes to Connect only once
    // the line can go out, right before it does. The link itself stays up.
    Commands::SendOptions options;
    if (m_window.MSComm1().portOpen()) {
        const bool renewed = co_await Commands::renewPort(m_window, options.guardTitle);
        if (!renewed)
            co_return;
    }
    options.renew = false;
    options.afterGuard = [this] { m_window.ui().connect->setFocus(); };
    co_await Commands::SendCommandLine(m_window, CommandLine::fixed(QStringLiteral("END")), options);
}
