#include "Vestibar.h"

#include "Commands.h"
#include "Dialogs.h"
#include "Editors.h"
#include "Link.h"
#include "SettingsStore.h"
#include "Transfer.h"
#include "form1.h"

#include <QApplication>

namespace Vestibar {

std::unique_ptr<form1> createMainWindow(SettingsStore& settings, Dialogs& dialogs)
{
    auto window = std::make_unique<form1>(settings, dialogs);
    dialogs.setParentWidget(window.get());
    Link::install(*window);
    Commands::install(*window);
    Transfer::install(*window);
    Editors::install(*window);
    return window;
}

int start(QApplication& app)
{
    SettingsStore settings;
    QtDialogs dialogs;
    auto window = createMainWindow(settings, dialogs);
    QObject::connect(window.get(), &form1::unloading, &app, &QApplication::quit, Qt::QueuedConnection);
    window->show();
    return app.exec();
}

} // namespace Vestibar
