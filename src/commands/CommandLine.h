#pragma once

#include <QByteArray>
#include <QString>

class QDate;
class QTime;

// The text lines the tool sends to the controller. Every character of the text
// becomes one byte (Latin-1; anything outside it goes out as '?').
namespace CommandLine {

// A command without a value: the keyword, CR, LF.
QByteArray fixed(const QString& keyword);

// A value command: the keyword, one blank, the value exactly as given (an empty
// value still keeps the blank), CR, LF.
QByteArray withValue(const QString& keyword, const QString& value);

// The programming-mode entry: "PGM" and the code with no blank between them.
QByteArray masterCode(const QString& code);

// "TIM hh mm": hour and minute, two digits each.
QByteArray time(const QTime& time);

// "DAT mm dd yyyy w": month before day, the year in plain digits, the weekday
// counted from Monday = 1 to Sunday = 7.
QByteArray date(const QDate& date);

// A number with at least two digits ("0#"): 5 -> "05", 0 -> "00", 123 -> "123".
QString twoDigits(int number);

} // namespace CommandLine
