#pragma once

#include <QString>

class QIODevice;

// Reads a text file one line at a time, so a large file is never held whole. A
// line ends at CR LF, CR or LF; the bytes are the files' single-byte code page.
class LineReader
{
public:
    explicit LineReader(QIODevice& device);

    bool atEnd() const;
    // The next line without its end; false at the end of the file.
    bool next(QString& line);

private:
    QIODevice& m_device;
};
