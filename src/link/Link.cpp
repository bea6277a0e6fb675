#include "Link.h"

#include "ConnectionHandlers.h"
#include "MasterCode.h"
#include "ReceivePath.h"
#include "form1.h"

void Link::install(form1& window)
{
    new ConnectionHandlers(window);
    new ReceivePath(window);
    MasterCode::install(window);
}
