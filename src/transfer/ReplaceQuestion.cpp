#include "ReplaceQuestion.h"

Dialogs::Answer ReplaceQuestion::ask(Dialogs& dialogs, const QString& path)
{
    Dialogs::Message question;
    question.text = QStringLiteral("Replace existing file - ") + path + QLatin1Char('?');
    question.buttons = Dialogs::Buttons::YesNoCancel;
    question.icon = Dialogs::Icon::Question;
    return dialogs.message(question);
}
