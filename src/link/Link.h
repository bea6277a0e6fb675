#pragma once

class ReceivePath;
class form1;

// The serial link: port and mode buttons, connect and disconnect, the receive path
// into Text1 and the log, and the master-code entry.
namespace Link {
// Returns the receive path, which the received-text commands need.
ReceivePath& install(form1& window);
} // namespace Link
