#pragma once

#include <QByteArray>
#include <QString>

class form1;

namespace Commands {

struct SendOptions {
    // Title of the "The comm port is closed" box.
    QString guardTitle = QStringLiteral("Disconnect");
    // RS232 mode: close and reopen the port right before the write.
    bool renew = true;
};

// The guarded send: when the port is closed, shows "The comm port is closed" (OK
// only, no icon, titled guardTitle) and returns false; otherwise renews the port in
// RS232 mode (when asked) and writes line in one write. Returns true when written.
bool SendCommandLine(form1 &window, const QByteArray &line, const SendOptions &options = {});

} // namespace Commands
