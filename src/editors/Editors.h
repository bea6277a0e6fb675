#pragma once

#include <QString>

class Dialogs;
class QWidget;
class form1;

// The five modal database editors and their "&New File" menu items.
namespace Editors {

enum class Kind { Tenant, AccessCode, AutoSchedule, Holiday, TimeZone };

// Shows the editor of kind modally over parent. The editor loads the file that
// handoverFileName (the main window's open-dialog name) names, when it can be read,
// and the name is emptied either way. Returns when the editor is closed.
void showModal(Kind kind, const QString& fileToLoad, Dialogs& dialogs, QWidget* parent);

// Connects the "&New File" menu items of the main window to their editors.
void install(form1& window);

} // namespace Editors
