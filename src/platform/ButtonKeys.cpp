#include "ButtonKeys.h"

#include <QKeyEvent>
#include <QPushButton>

void ButtonKeys::install(QWidget* window)
{
    auto* keys = new ButtonKeys(window);
    for (QPushButton* button : window->findChildren<QPushButton*>())
        button->installEventFilter(keys);
}

bool ButtonKeys::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
        return false;
    if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    auto* button = qobject_cast<QPushButton*>(watched);
    if (!button || !button->isEnabled())
        return false;
    // A held key presses once: a repeated command line is not what was meant.
    if (!key->isAutoRepeat())
        button->click();
    return true;
}
