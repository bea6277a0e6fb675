// The database send's file reading and line classification on arbitrary bytes: the
// lines are exactly the bytes between line ends, a line is a record exactly when it
// begins (after blanks) with one of the six kind codes, case-sensitively, and a
// record goes out byte for byte plus CR LF.
#include "LineReader.h"
#include "RecordLines.h"
#include "TextFiles.h"

#include <QBuffer>
#include <QByteArrayList>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void require(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "send line invariant broken: %s\n", what);
        std::abort();
    }
}

// The lines of a file by a second, independent reading: CR LF, CR and LF each end a line.
QByteArrayList expectedLines(QByteArray bytes)
{
    bytes.replace("\r\n", "\n").replace('\r', '\n');
    QByteArrayList lines = bytes.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

bool startsWithKind(const QByteArray& line)
{
    qsizetype first = 0;
    while (first < line.size() && line.at(first) == ' ')
        ++first;
    // The codes the controller takes records of; EVR (event records) is only dumped.
    for (const char* kind : { "TNT", "ACD", "ATS", "TMZ", "HLD", "PAR" }) {
        if (line.mid(first).startsWith(kind))
            return true;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    LineReader reader(buffer);

    const QByteArrayList expected = expectedLines(bytes);
    qsizetype index = 0;
    QString line;
    while (reader.next(line)) {
        require(index < expected.size(), "more lines than line ends");
        const QByteArray raw = TextFiles::toFileBytes(line);
        require(raw == expected.at(index), "line differs from the bytes between its line ends");
        require(RecordLines::wireLine(line) == raw + "\r\n", "record not sent byte for byte");
        require(RecordLines::isRecord(line) == startsWithKind(raw), "record recognised wrongly");
        ++index;
    }
    require(index == expected.size(), "lines lost");
    require(reader.atEnd(), "reader stopped before the end");

    return 0;
}
