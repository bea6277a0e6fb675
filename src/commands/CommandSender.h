#pragma once

#include <QByteArray>
#include <QCoro/QCoroTask>
#include <QString>

#include <functional>

class form1;

namespace Commands {

// The box every command shows when it finds the port closed, and its usual title:
// one text wherever a command guards the port.
inline QString closedPortText()
{
    return QStringLiteral("The comm port is closed");
}
inline QString closedPortTitle()
{
    return QStringLiteral("Disconnect");
}
// A line that did not leave: the port failed, or the operator gave it up.
inline QString notSentText()
{
    return QStringLiteral("The command could not be sent to the controller");
}

struct SendOptions
{
    // Title of the "The comm port is closed" box.
    QString guardTitle = closedPortTitle();
    // RS232 mode: close and reopen the port right before the write.
    bool renew = true;
    // Runs once the port guard has passed, before the renewal and the write.
    std::function<void()> afterGuard;
};

// The guarded send, awaited by the command that runs it: when the port is closed,
// shows "The comm port is closed" (OK only, no icon, titled guardTitle) and gives
// false; otherwise renews the port in RS232 mode (when asked) and queues line on the
// link. True once the whole line has left, so the caller's after-steps run only then.
// A reopen that fails shows the same closed-port box (the system's reason below the
// text); a line that did not leave (the port failed, or the operator gave it up
// while the far end held XOFF) shows "The command could not be sent to the
// controller". A command that Disconnect or closing the window stops ends quietly.
QCoro::Task<bool> SendCommandLine(form1& window, QByteArray line, SendOptions options = {});

// RS232 mode only: closes and reopens the port, as the controller's direct line wants
// before every line. A reopen that fails shows "The comm port is closed" (the
// system's reason below the text) titled guardTitle and gives false.
QCoro::Task<bool> renewPort(form1& window, QString guardTitle);

// Queues a command on the window's link: it runs when the commands before it have.
void enqueue(form1& window, std::function<QCoro::Task<>()> command);
// The same for a command with pauses of its own (Connect).
void enqueueLong(form1& window, std::function<QCoro::Task<>()> command);

} // namespace Commands
