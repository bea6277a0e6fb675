#include "MenuShortcutFilter.h"

#include <QAction>
#include <QKeyEvent>
#include <QKeySequence>
#include <QWidget>

MenuShortcutFilter::MenuShortcutFilter(const QList<QAction*>& actions, QObject* parent)
    : QObject(parent)
    , m_actions(actions)
{
}

void MenuShortcutFilter::watch(QWidget* box)
{
    box->installEventFilter(this);
}

bool MenuShortcutFilter::isMenuKey(const QKeyEvent* key) const
{
    const QKeySequence pressed(key->keyCombination());
    for (const QAction* action : m_actions) {
        if (action->shortcuts().contains(pressed))
            return true;
    }
    return false;
}

bool MenuShortcutFilter::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if ((type != QEvent::ShortcutOverride && type != QEvent::KeyPress)
        || !isMenuKey(static_cast<QKeyEvent*>(event)))
        return QObject::eventFilter(watched, event);
    // Left unaccepted, the override lets the menu's shortcut run. A key press that
    // still arrives (the item is disabled) is taken here: the box must not act on it.
    event->setAccepted(type == QEvent::KeyPress);
    return true;
}
