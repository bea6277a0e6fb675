#include "Link.h"

void Link::install(form1 &) { }
