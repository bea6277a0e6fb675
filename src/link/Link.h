#pragma once

class form1;

// The serial link: port and mode buttons, connect and disconnect, the receive path
// into Text1 and the log, and the master-code entry.
namespace Link {
void install(form1& window);
} // namespace Link
