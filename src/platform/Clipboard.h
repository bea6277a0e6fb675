#pragma once

#include <QString>

// The system clipboard, as text.
namespace Clipboard {
void clear();
void setText(const QString& text);
QString text();
} // namespace Clipboard
