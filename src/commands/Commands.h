#pragma once

class form1;

// The parameter, clear, clock and end commands, and the parameter file menus.
namespace Commands {
void install(form1& window);
} // namespace Commands
