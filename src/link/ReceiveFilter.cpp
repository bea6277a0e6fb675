#include "ReceiveFilter.h"

#include <algorithm>
#include <climits>

#include "SerialPort.h"

namespace ReceiveFilter {

namespace {
    constexpr QChar Backspace(8);
    constexpr QChar LineFeed(10);
    constexpr QChar CarriageReturn(13);
} // namespace

Chunk clean(const QString& received)
{
    Chunk chunk;
    // Backspaces first, each taking the character before it; one pass does what
    // removing the first backspace again and again would. Written through raw
    // buffers: this runs on every character of a dump.
    QString kept(received.size(), Qt::Uninitialized);
    QChar* const keptBegin = kept.data();
    QChar* keptEnd = keptBegin;
    for (const QChar c : received) {
        if (c != Backspace)
            *keptEnd++ = c;
        else if (keptEnd != keptBegin)
            --keptEnd;
        else
            chunk.replacesLast = true;
    }

    const qsizetype returns = std::count(keptBegin, keptEnd, CarriageReturn);
    chunk.text = QString((keptEnd - keptBegin) + returns, Qt::Uninitialized);
    QChar* out = chunk.text.data();
    for (const QChar* c = keptBegin; c != keptEnd; ++c) {
        if (*c == LineFeed)
            continue;
        *out++ = *c;
        if (*c == CarriageReturn)
            *out++ = LineFeed;
    }
    chunk.text.truncate(out - chunk.text.constData());
    return chunk;
}

void add(Batch& batch, bool replacesLast, const QString& shown)
{
    if (const int trim = trimmedBefore(int(std::min<qsizetype>(batch.length(), INT_MAX)))) {
        const qsizetype fromBox = std::min<qsizetype>(trim, batch.boxEnd - batch.boxStart);
        batch.boxStart += fromBox;
        batch.tailStart += trim - fromBox;
    }
    if (replacesLast && batch.length() > 0) {
        if (batch.tail.size() > batch.tailStart)
            batch.tail.chop(1);
        else
            --batch.boxEnd;
    }
    // Text already trimmed away is not kept.
    if (batch.tailStart > 65536) {
        batch.tail.remove(0, batch.tailStart);
        batch.tailStart = 0;
    }
    batch.tail += shown;
}

QString forDisplay(const QString& text)
{
    QString display = text;
    display.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return display;
}

int trimmedBefore(int length)
{
    return length > TrimAbove ? TrimCount : 0;
}

EventTexts eventTexts(int code)
{
    struct Row
    {
        int code;
        const char* status;
        const char* error;
    };
    // The events the tool reports; every other code (send buffer emptied, line
    // signals, ring, break, framing and parity errors) sets no text.
    static constexpr Row Rows[] = {
        { SerialPort::EvReceive, "Receiving...", nullptr },
        { SerialPort::ErOverrun, nullptr, "Overrun Error" },
        { SerialPort::ErRxOver, nullptr, "Receive Buffer Overflow" },
        { SerialPort::ErTxFull, nullptr, "Transmit Buffer Full" },
    };
    for (const Row& row : Rows) {
        if (row.code == code)
            return { QString::fromLatin1(row.status), QString::fromLatin1(row.error) };
    }
    return {};
}

} // namespace ReceiveFilter
