#include "MasterCode.h"

void MasterCode::install(form1 &) { }
