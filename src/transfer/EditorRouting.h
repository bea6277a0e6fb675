#pragma once

#include "Editors.h"

#include <QString>

// Which editor "Open &Send File" opens a chosen file in.
namespace EditorRouting {

// By the last four characters of the path in upper case; anything unknown to the
// other editors (".HLD", ".PAR", a text file, no extension) goes to the holiday editor.
Editors::Kind editorFor(const QString& path);

} // namespace EditorRouting
