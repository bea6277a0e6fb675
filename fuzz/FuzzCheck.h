#pragma once

// What the fuzzers share: the input as bytes or as the lines a file reader gives,
// and a broken rule that stops the run with its name.
#include "LineReader.h"

#include <QBuffer>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

inline void require(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

inline QByteArray bytesOf(const uint8_t* data, size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

// Stands for a line longer than the reader keeps; no byte of a file reads as it.
inline const QString TooLongLine = QString(QChar(0x2026));

// The lines of a file as the program reads them, line by line to the end.
inline QStringList linesOf(QByteArray bytes)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    LineReader reader(buffer);
    QStringList lines;
    for (QString line; reader.next(line);) {
        require(!reader.tooLong() || line.isEmpty(), "an over-long line kept");
        lines << (reader.tooLong() ? TooLongLine : line);
    }
    require(reader.atEnd(), "reader stopped before the end");
    return lines;
}
