// The database send's file reading and line classification on arbitrary bytes: the
// lines are exactly the bytes between line ends, a line is a record exactly when it
// begins (after blanks) with one of the six kind codes, case-sensitively, and a
// record goes out byte for byte plus CR LF.
#include "FuzzCheck.h"
#include "RecordLines.h"
#include "TextFiles.h"

#include <QByteArrayList>
#include <QRegularExpression>

// The lines of a file by a second, independent reading: CR LF, CR and LF each end a line.
static QByteArrayList expectedLines(QByteArray bytes)
{
    bytes.replace("\r\n", "\n").replace('\r', '\n');
    QByteArrayList lines = bytes.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

static bool startsWithKind(const QByteArray& line)
{
    // The codes the controller takes records of; EVR (event records) is only dumped.
    static const QRegularExpression kinds(QStringLiteral("^ *(TNT|ACD|ATS|TMZ|HLD|PAR)"));
    return kinds.match(QString::fromLatin1(line)).hasMatch();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = bytesOf(data, size);
    const QStringList lines = linesOf(bytes);
    const QByteArrayList expected = expectedLines(bytes);
    require(lines.size() == expected.size(), "lines lost or made up");
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const bool tooLong = expected.at(i).size() > LineReader::MaxLineBytes;
        require((lines.at(i) == TooLongLine) == tooLong, "a line refused or kept wrongly for its length");
        if (tooLong)
            continue;
        const QByteArray raw = TextFiles::toFileBytes(lines.at(i));
        require(raw == expected.at(i), "line differs from the bytes between its line ends");
        require(RecordLines::wireLine(lines.at(i)) == raw + "\r\n", "record not sent byte for byte");
        require(RecordLines::isRecord(lines.at(i)) == startsWithKind(raw), "record recognised wrongly");
    }
    return 0;
}
