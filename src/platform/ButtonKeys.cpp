#include "ButtonKeys.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPushButton>

void ButtonKeys::install(QWidget* window)
{
    QCoreApplication::instance()->installEventFilter(new ButtonKeys(window));
}

ButtonKeys::ButtonKeys(QWidget* window)
    : QObject(window)
    , m_window(window)
{
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
    if (!button || button->window() != m_window || !button->isEnabled())
        return false;
    // A held key presses once: a repeated command line is not what was meant.
    if (!key->isAutoRepeat())
        button->click();
    return true;
}
