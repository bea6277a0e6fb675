#pragma once

#include <QByteArray>
#include <QString>

class QIODevice;

// Reads a text file one line at a time, so a large file is never held whole. A
// line ends at CR LF, CR or LF; the bytes are the files' single-byte code page.
// A line is held only up to MaxLineBytes: a longer one is read to its end but not
// kept, so a file without line breaks costs no more memory than one long line.
class LineReader
{
public:
    // The controller keeps at most 256 characters of a line and drops a longer one
    // whole, so a longer line can be no record or parameter; no line the tool writes
    // comes near it.
    static constexpr qsizetype MaxLineBytes = 256;

    explicit LineReader(QIODevice& device);

    bool atEnd() const;
    // The next line without its end; false at the end of the file. A line longer
    // than MaxLineBytes comes back empty with tooLong() set.
    bool next(QString& line);
    bool tooLong() const { return m_tooLong; }
    // The number of the line last read, from 1.
    qint64 lineNumber() const { return m_lineNumber; }
    // Bytes of the file consumed so far.
    qint64 position() const { return m_consumed; }

private:
    // Makes at least one unread byte available; false at the end of the file.
    bool fill();

    QIODevice& m_device;
    QByteArray m_buffer;
    qsizetype m_pos = 0;
    qint64 m_consumed = 0;
    qint64 m_lineNumber = 0;
    bool m_tooLong = false;
};
