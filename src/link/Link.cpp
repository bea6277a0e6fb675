#include "Link.h"

#include "ConnectionHandlers.h"
#include "MasterCodeEntry.h"
#include "ReceivePath.h"
#include "form1.h"

void Link::install(form1& window)
{
    new ConnectionHandlers(window);
    new ReceivePath(window);
    new MasterCodeEntry(window);
}
