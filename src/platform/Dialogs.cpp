#include "Dialogs.h"

Dialogs::Answer Dialogs::message(Message message)
{
    if (message.title.isEmpty())
        message.title = applicationTitle();
    return showMessage(message);
}

void Dialogs::inform(const QString& text, const QString& title, Icon icon)
{
    message({ text, title, Buttons::Ok, icon, {}, {} });
}
