#include "QueuedInput.h"

#include <QWidget>
#include <QWindow>

#include <qpa/qwindowsysteminterface.h>

void queueClick(QWidget* widget, QPoint at)
{
    if (at.isNull())
        at = widget->rect().center();
    QWindow* window = widget->window()->windowHandle();
    const QPointF local = widget->mapTo(widget->window(), at);
    const QPointF global = widget->mapToGlobal(at);
    using Delivery = QWindowSystemInterface::AsynchronousDelivery;
    QWindowSystemInterface::handleMouseEvent<Delivery>(
        window, local, global, Qt::LeftButton, Qt::LeftButton, QEvent::MouseButtonPress);
    QWindowSystemInterface::handleMouseEvent<Delivery>(
        window, local, global, Qt::NoButton, Qt::LeftButton, QEvent::MouseButtonRelease);
}
