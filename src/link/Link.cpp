#include "Link.h"

#include "ConnectionHandlers.h"
#include "MasterCodeEntry.h"
#include "ReceivePath.h"
#include "form1.h"

ReceivePath& Link::install(form1& window)
{
    new ConnectionHandlers(window);
    auto* received = new ReceivePath(window);
    new MasterCodeEntry(window);
    return *received;
}
