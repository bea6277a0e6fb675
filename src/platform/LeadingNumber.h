#pragma once

#include <QString>

// The number a typed value starts with, as the tool reads a stored port number or a
// byte cycle: blanks skipped, a sign, digits, a decimal part; 0 when there is none
// ("3" is 3, "7x" is 7, "1.5 ms" is 1.5, "" and "x" are 0).
double leadingNumber(const QString& text);
