#include "ReceiveFilter.h"

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
    // removing the first backspace again and again would.
    QString kept;
    kept.reserve(received.size());
    for (const QChar c : received) {
        if (c != Backspace)
            kept.append(c);
        else if (!kept.isEmpty())
            kept.chop(1);
        else
            chunk.replacesLast = true;
    }

    chunk.text.reserve(kept.size() + kept.size() / 8);
    for (const QChar c : std::as_const(kept)) {
        if (c == LineFeed)
            continue;
        chunk.text.append(c);
        if (c == CarriageReturn)
            chunk.text.append(LineFeed);
    }
    return chunk;
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
