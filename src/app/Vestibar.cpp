#include "Vestibar.h"

#include "Commands.h"
#include "Editors.h"
#include "Form2.h"
#include "LineMonitorMenu.h"
#include "Link.h"
#include "QtDialogs.h"
#include "SerialPortsMenu.h"
#include "SettingsStore.h"
#include "Transfer.h"
#include "form1.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

namespace Vestibar {

namespace {
    // Long enough for the splash to be seen, short enough not to hold up the start.
    constexpr int SplashMilliseconds = 150;
} // namespace

std::unique_ptr<form1> createMainWindow(SettingsStore& settings, Dialogs& dialogs, WindowTiming timing)
{
    auto window = std::make_unique<form1>(settings, dialogs, std::move(timing));
    dialogs.setParentWidget(window.get());
    ReceivePath& received = Link::install(*window);
    Commands::install(*window);
    Transfer::install(*window, received);
    Editors::install(*window);
    new SerialPortsMenu(*window);
    new LineMonitorMenu(*window);
    return window;
}

int start(QApplication& app)
{
    SettingsStore settings;
    QtDialogs dialogs;

    QElapsedTimer shown;
    auto splash = std::make_unique<Form2>();
    splash->setCursor(Qt::WaitCursor);
    splash->show();
    shown.start();

    // The main window is built while the splash is up; the rest of the splash's time
    // runs in the program's own event loop, which paints it, and then the main
    // window takes its place.
    auto window = createMainWindow(settings, dialogs);
    QObject::connect(window.get(), &form1::unloading, &app, &QApplication::quit, Qt::QueuedConnection);
    QTimer::singleShot(
        std::max<qint64>(0, SplashMilliseconds - shown.elapsed()), window.get(), [&splash, &window] {
            splash->unsetCursor();
            splash.reset();
            window->show();
        });
    return app.exec();
}

} // namespace Vestibar
