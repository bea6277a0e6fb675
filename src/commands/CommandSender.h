#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

class form1;

namespace Commands {

struct SendOptions
{
    // Title of the "The comm port is closed" box.
    QString guardTitle = QStringLiteral("Disconnect");
    // RS232 mode: close and reopen the port right before the write.
    bool renew = true;
    // Runs once the port guard has passed, before the renewal and the write.
    std::function<void()> afterGuard;
};

// The guarded send: when the port is closed, shows "The comm port is closed" (OK
// only, no icon, titled guardTitle) and returns false; otherwise renews the port in
// RS232 mode (when asked) and writes line in one write. Returns true when written.
// A reopen that fails shows the same closed-port box (the system's reason below
// the text) and a line that did not leave (the port failed, or the operator gave it
// up while the far end held XOFF) shows "The command could not be sent to the
// controller"; both return false, so the caller's after-steps do not run. Clicks
// and keys made while it runs are handled after it.
bool SendCommandLine(form1& window, const QByteArray& line, const SendOptions& options = {});

// RS232 mode only: closes and reopens the port, as the controller's direct line wants
// before every line. A reopen that fails shows "The comm port is closed" (the
// system's reason below the text) titled guardTitle and returns false.
bool renewPort(form1& window, const QString& guardTitle);

} // namespace Commands
