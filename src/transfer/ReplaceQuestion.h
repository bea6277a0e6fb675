#pragma once

#include "Dialogs.h"

#include <QString>

// "Replace existing file - <path>?" with Yes, No and Cancel (No the default), asked
// before a chosen file that exists is written.
namespace ReplaceQuestion {
Dialogs::Answer ask(Dialogs& dialogs, const QString& path);
} // namespace ReplaceQuestion
