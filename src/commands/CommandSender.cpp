#include "CommandSender.h"

#include "CommandQueue.h"
#include "Dialogs.h"
#include "LinkSession.h"
#include "form1.h"

void Commands::enqueue(form1& window, std::function<QCoro::Task<>()> command)
{
    window.commands().enqueue(std::move(command));
}

void Commands::enqueueLong(form1& window, std::function<QCoro::Task<>()> command)
{
    window.commands().enqueue(std::move(command), CommandQueue::Kind::Long);
}

QCoro::Task<bool> Commands::renewPort(form1& window, QString guardTitle)
{
    if (!window.rs232Mode())
        co_return true;
    const SerialPort::OpenResult reopened = co_await window.MSComm1().reopen();
    if (reopened.ok())
        co_return true;
    if (window.commands().stopping())
        co_return false;
    Dialogs::Message message;
    message.text = QStringLiteral("The comm port is closed");
    message.title = guardTitle;
    message.details = reopened.reason;
    window.dialogs().message(message);
    co_return false;
}

QCoro::Task<bool> Commands::SendCommandLine(form1& window, QByteArray line, SendOptions options)
{
    LinkSession& link = window.MSComm1();
    if (!link.portOpen()) {
        window.dialogs().inform(QStringLiteral("The comm port is closed"), options.guardTitle);
        co_return false;
    }
    if (options.afterGuard)
        options.afterGuard();

    if (options.renew) {
        const bool renewed = co_await renewPort(window, options.guardTitle);
        if (!renewed)
            co_return false;
    }

    // A line the far end holds back with XOFF is waited for (the transmit event
    // tells the operator); it fails only when the port fails or the operator gives up.
    const bool left = co_await link.send(line);
    if (left)
        co_return true;
    if (!window.commands().stopping())
        window.dialogs().inform(Commands::notSentText(), options.guardTitle, Dialogs::Icon::Exclamation);
    co_return false;
}
