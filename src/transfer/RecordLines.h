#pragma once

#include <QByteArray>
#include <QString>

#include <array>

// What the database send makes of a file's lines and of the byte cycle.
namespace RecordLines {

// The kinds whose lines go to the controller, compared case-sensitively with the
// start of the line.
inline constexpr std::array<const char*, 6> kindCodes { "TNT", "ACD", "ATS", "TMZ", "HLD", "PAR" };

// True when the line, blanks at both ends removed, begins with one of the kind codes.
bool isRecord(const QString& line);

// The line exactly as read, then CR LF, in the files' single-byte code page.
QByteArray wireLine(const QString& line);

// Seconds to wait before a line: the time of 50 bytes at the byte cycle in ms.
double pauseSeconds(const QString& byteCycleText);

// The progress bar's range is an int: a larger line total is shown in proportion.
int progressMaximum(qint64 total);
int progressValue(qint64 count, qint64 total);

} // namespace RecordLines
