// The receive filter on arbitrary received bytes, against a second, independent
// reading of the same rules: backspaces applied first, line feeds dropped, every
// carriage return followed by exactly one line feed.
#include "FuzzCheck.h"
#include "ReceiveFilter.h"
#include "TextFiles.h"

static ReceiveFilter::Chunk reference(const QString& received)
{
    ReceiveFilter::Chunk chunk;
    // A backspace takes the character before it, which may itself be a line end.
    QString kept;
    for (const QChar c : received) {
        if (c != QChar(8))
            kept += c;
        else if (kept.isEmpty())
            chunk.replacesLast = true;
        else
            kept.chop(1);
    }
    for (const QChar c : std::as_const(kept)) {
        if (c != QChar(10))
            chunk.text += c == QChar(13) ? QStringLiteral("\r\n") : QString(c);
    }
    return chunk;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString received = TextFiles::fromFileBytes(bytesOf(data, size));
    const ReceiveFilter::Chunk chunk = ReceiveFilter::clean(received);
    const ReceiveFilter::Chunk expected = reference(received);
    require(chunk.text == expected.text, "filtered text differs from the rules");
    require(chunk.replacesLast == expected.replacesLast, "leading backspace noticed wrongly");
    const QString& text = chunk.text;
    require(!text.contains(QChar(8)), "a backspace survived");
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == QChar(13))
            require(i + 1 < text.size() && text.at(i + 1) == QChar(10), "carriage return without line feed");
        if (text.at(i) == QChar(10))
            require(i > 0 && text.at(i - 1) == QChar(13), "bare line feed");
    }
    // The log gets the same text as single bytes: nothing may be lost on the way.
    require(
        TextFiles::fromFileBytes(TextFiles::toFileBytes(text)) == text, "log bytes differ from the box text");
    require(!ReceiveFilter::forDisplay(text).contains(QChar(13)), "a carriage return is shown");
    return 0;
}
