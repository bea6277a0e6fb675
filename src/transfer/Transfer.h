#pragma once

class ReceivePath;
class form1;

// Uploads to log files, the database send, the send-file view and the
// received-text utilities.
namespace Transfer {
// The received-text commands read the box through the receive path.
void install(form1& window, ReceivePath& received);
} // namespace Transfer
