#include "ReplaceQuestion.h"

Dialogs::Answer ReplaceQuestion::ask(Dialogs& dialogs, const QString& path)
{
    Dialogs::Message question;
    question.text = QStringLiteral("Replace existing file - ") + path + QLatin1Char('?');
    question.buttons = Dialogs::Buttons::YesNoCancel;
    question.icon = Dialogs::Icon::Question;
    // Enter pressed by habit keeps the old file.
    question.defaultButton = Dialogs::Answer::No;
    return dialogs.message(question);
}
