#pragma once

#include <QPoint>

class QWidget;

// A click as the window system delivers it: queued for the event loop, not sent
// at once as QTest does. A loop that excludes user input leaves it queued.
void queueClick(QWidget* widget, QPoint at = {});
