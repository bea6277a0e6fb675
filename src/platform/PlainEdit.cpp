#include "PlainEdit.h"

#include <QFocusEvent>
#include <QLineEdit>

void PlainEdit::install(QLineEdit* box)
{
    // Installed once: a box that has the rules keeps a mark of it.
    static constexpr char Mark[] = "plainEditRules";
    if (box->property(Mark).toBool())
        return;
    box->setProperty(Mark, true);
    box->installEventFilter(new PlainEdit(box));
}

bool PlainEdit::comesFromAnotherControl(Qt::FocusReason reason)
{
    switch (reason) {
    case Qt::MouseFocusReason:
    case Qt::TabFocusReason:
    case Qt::BacktabFocusReason:
    case Qt::ShortcutFocusReason:
    case Qt::OtherFocusReason:
        return true;
    default:
        return false;
    }
}

bool PlainEdit::eventFilter(QObject* watched, QEvent* event)
{
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (!box || event->type() != QEvent::FocusIn)
        return false;
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    // A click places the caret itself, after the focus has come.
    if (!comesFromAnotherControl(reason) || reason == Qt::MouseFocusReason)
        return false;
    // The box's own handling first (it selects everything on Tab), then the start.
    static_cast<QObject*>(box)->event(event);
    box->deselect();
    box->setCursorPosition(0);
    return true;
}
