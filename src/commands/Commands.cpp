#include "Commands.h"

#include "ClearCommands.h"
#include "ClockCommands.h"
#include "ParameterCommands.h"

void Commands::install(form1& window)
{
    // Each handler object is owned by the window.
    new ParameterCommands(window);
    new ClearCommands(window);
    new ClockCommands(window);
}
