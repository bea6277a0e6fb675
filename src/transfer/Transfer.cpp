#include "Transfer.h"

#include "DatabaseSend.h"
#include "ParameterFileMenus.h"
#include "ReceivedText.h"
#include "SendFileView.h"
#include "UploadHandlers.h"

void Transfer::install(form1& window, ReceivePath& received)
{
    // Each handler object is owned by the window.
    new ParameterFileMenus(window);
    new UploadHandlers(window);
    new DatabaseSend(window);
    new SendFileView(window);
    new ReceivedText(window, received);
}
