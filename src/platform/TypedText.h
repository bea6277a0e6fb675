#pragma once

#include <QString>

// How the tool reads what the operator typed or a file holds.
namespace TypedText {

// The number a value starts with, as a stored port number or a byte cycle is read:
// blanks skipped, a sign, digits, a decimal part; 0 when there is none ("3" is 3,
// "7x" is 7, "1.5 ms" is 1.5, "" and "x" are 0).
double leadingNumber(const QString& text);

// Blanks (only the blank character, not tabs) removed at both ends.
QString trimBlanks(const QString& text);

} // namespace TypedText
