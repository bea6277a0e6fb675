#include "CommandSender.h"

#include "Dialogs.h"
#include "InputHold.h"
#include "SerialPort.h"
#include "form1.h"

bool Commands::renewPort(form1& window, const QString& guardTitle)
{
    if (!window.rs232Mode())
        return true;
    InputHold hold;
    SerialPort& port = window.MSComm1();
    const SerialPort::OpenResult reopened = port.reopen();
    if (reopened.ok)
        return true;
    Dialogs::Message message;
    message.text = QStringLiteral("The comm port is closed");
    message.title = guardTitle;
    message.details = reopened.reason;
    window.dialogs().message(message);
    return false;
}

bool Commands::SendCommandLine(form1& window, const QByteArray& line, const SendOptions& options)
{
    // A command runs to its end: clicks and keys made meanwhile come after it.
    InputHold hold;
    SerialPort& port = window.MSComm1();
    const QString closed = QStringLiteral("The comm port is closed");
    if (!port.portOpen()) {
        window.dialogs().inform(closed, options.guardTitle);
        return false;
    }
    if (options.afterGuard)
        options.afterGuard();

    if (options.renew && !renewPort(window, options.guardTitle))
        return false;

    // A line the far end holds back with XOFF is waited for (the transmit event
    // tells the operator); it fails only when the port fails or the operator gives up.
    if (!port.output(line)) {
        // Closing the window ended the wait: the line may still leave as the port closes.
        if (window.closing())
            return false;
        window.dialogs().inform(QStringLiteral("The command could not be sent to the controller"),
            options.guardTitle, Dialogs::Icon::Exclamation);
        return false;
    }
    return true;
}
