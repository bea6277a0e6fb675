#include "Editors.h"

#include "Dialogs.h"
#include "EditorKinds.h"
#include "EditorWindow.h"
#include "SettingsStore.h"
#include "WindowPlacement.h"
#include "form1.h"

#include <QAction>
#include <QPointer>

#include <array>

namespace {

struct NewFileItem
{
    QAction* Ui::form1::*action;
    Editors::Kind kind;
};

const std::array<NewFileItem, 5> newFileItems { {
    { &Ui::form1::new_tenant, Editors::Kind::Tenant },
    { &Ui::form1::new_accesscode, Editors::Kind::AccessCode },
    { &Ui::form1::new_autoschedule, Editors::Kind::AutoSchedule },
    { &Ui::form1::new_holiday, Editors::Kind::Holiday },
    { &Ui::form1::new_timezone, Editors::Kind::TimeZone },
} };

} // namespace

void Editors::showModal(Kind kind, const QString& fileToLoad, Dialogs& dialogs, QWidget* parent)
{
    EditorWindow editor(EditorKinds::of(kind), dialogs, parent);
    editor.loadFile(fileToLoad);

    // The editor's messages and file dialogs stand over the editor, not the main window.
    QPointer<QWidget> previousParent = dialogs.parentWidget();
    dialogs.setParentWidget(&editor);
    editor.setWindowModality(Qt::ApplicationModal);
    // Each editor opens where and at the size it was closed.
    SettingsStore settings;
    WindowPlacement::restore(editor, settings);
    editor.exec();
    WindowPlacement::save(editor, settings);
    dialogs.setParentWidget(previousParent);
}

void Editors::install(form1& window)
{
    for (const NewFileItem& item : newFileItems) {
        QObject::connect(window.ui().*item.action, &QAction::triggered, &window,
            [&window, kind = item.kind] { showModal(kind, QString(), window.dialogs(), &window); });
    }
}
