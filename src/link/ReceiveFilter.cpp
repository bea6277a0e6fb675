#include "ReceiveFilter.h"

#include <algorithm>

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

namespace {
    bool isBreak(QChar c)
    {
        return c == LineFeed || c == QChar::ParagraphSeparator;
    }

    // Drops the oldest TrimCount characters, a line break counting two; a break
    // half inside goes with them.
    void trim(Batch& batch)
    {
        qsizetype dropped = 0;
        const auto drop = [&](QChar c) {
            dropped += isBreak(c) ? 2 : 1;
            if (isBreak(c))
                --batch.breaks;
        };
        while (dropped < TrimCount && batch.boxStart < batch.boxEnd) {
            const qsizetype at = batch.boxStart++;
            drop(at < batch.box.size() ? batch.box.at(at) : QChar());
        }
        while (dropped < TrimCount && batch.tailStart < batch.tail.size())
            drop(batch.tail.at(batch.tailStart++));
    }
} // namespace

Batch::Batch(const QString& boxText)
    : boxEnd(boxText.size())
    , box(boxText)
    , breaks(std::count_if(boxText.begin(), boxText.end(), isBreak))
{
}

void add(Batch& batch, bool replacesLast, const QString& shown)
{
    if (batch.trimLength() > TrimAbove)
        trim(batch);
    if (replacesLast && batch.length() > 0) {
        QChar last;
        if (batch.tail.size() > batch.tailStart) {
            last = batch.tail.back();
            batch.tail.chop(1);
        } else {
            --batch.boxEnd;
            if (batch.boxEnd < batch.box.size())
                last = batch.box.at(batch.boxEnd);
        }
        if (isBreak(last))
            --batch.breaks;
    }
    // Text already trimmed away is not kept.
    if (batch.tailStart > 65536) {
        batch.tail.remove(0, batch.tailStart);
        batch.tailStart = 0;
    }
    batch.tail += shown;
    batch.breaks += std::count_if(shown.begin(), shown.end(), isBreak);
}

QString forDisplay(const QString& text)
{
    QString display = text;
    display.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return display;
}

EventTexts eventTexts(LinkEvent event)
{
    struct Row
    {
        LinkEvent event;
        const char* status;
        const char* error;
    };
    // The events the tool reports; the others (break, framing and parity errors)
    // set no text.
    static constexpr Row Rows[] = {
        { LinkEvent::Received, "Receiving...", nullptr },
        { LinkEvent::Overrun, nullptr, "Overrun Error" },
        { LinkEvent::ReceiveOverflow, nullptr, "Receive Buffer Overflow" },
        { LinkEvent::TransmitHeld, nullptr, "Transmit Buffer Full" },
    };
    for (const Row& row : Rows) {
        if (row.event == event)
            return { QString::fromLatin1(row.status), QString::fromLatin1(row.error) };
    }
    return {};
}

} // namespace ReceiveFilter
