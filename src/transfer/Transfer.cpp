#include "Transfer.h"

void Transfer::install(form1 &) { }
