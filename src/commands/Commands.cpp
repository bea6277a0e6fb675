#include "Commands.h"

void Commands::install(form1 &) { }
