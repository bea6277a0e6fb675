#pragma once

class form1;

// Uploads to log files, the database send, the send-file view and the
// received-text utilities.
namespace Transfer {
void install(form1& window);
} // namespace Transfer
