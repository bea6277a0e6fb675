#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

// How the line monitor writes what went over the line: bytes as readable text,
// hex, times, and the lines of a saved session or a session record.
namespace MonitorFormat {

enum class Direction { Sent, Received, Mark };

// One row of the monitor: bytes in one direction, or a mark of the link's own.
struct Row
{
    QDateTime time; // of its first byte
    Direction direction = Direction::Received;
    QByteArray bytes;
    QString mark;
};

// Printable bytes as they are (Latin-1), control bytes named: <CR>, <LF>, <XOFF>,
// <XON>, <BS>, any other as <0xNN>.
QString byteText(const QByteArray& bytes);
// "4F 4B 0D 0A".
QString hexText(const QByteArray& bytes);
// "12:15:03.045".
QString timeText(const QDateTime& time);
QString directionText(Direction direction);
// The text column of a row: its bytes named, or its mark.
QString rowText(const Row& row);
// "Released after 2.345 s".
QString releaseText(qint64 heldMs);
// "session-2026-12-07-1215-03.txt".
QString recordFileName(const QDateTime& started);

// Where the row that holds bytes[from] ends: just past the next LF, or
// bytes.size() when there is none.
qsizetype rowEnd(const QByteArray& bytes, qsizetype from);

// The first line of a saved session or record.
QByteArray headerLine();
// A row as a line of a saved session or record: the columns separated by tabs,
// ended by CR LF; UTF-8.
QByteArray savedLine(const Row& row);

} // namespace MonitorFormat
