#pragma once

#include <QKeyEvent>

// Return and the keypad's Enter do the same everywhere in the tool.
inline bool isEnterKey(const QKeyEvent* key)
{
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}
