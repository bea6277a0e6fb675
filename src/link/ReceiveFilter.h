#pragma once

#include <QString>

// What the receive path makes of the characters that arrive: the text to put into
// the received-content box and the log, with no widget or file in sight.
namespace ReceiveFilter {

// The box is trimmed once it holds more than TrimAbove characters, by its oldest
// TrimCount characters, so appending never works on much more than that. Both
// count a line end as the two characters (CR LF) it is in the log and the files.
constexpr int TrimAbove = 20000;
constexpr int TrimCount = 4096;

struct Chunk
{
    // The received text began with a backspace that no character of its own
    // precedes: the chunk replaces the last character already in the box.
    bool replacesLast = false;
    // Backspaces applied, line feeds dropped, every carriage return followed by one
    // line feed. This is also exactly what the log receives.
    QString text;
};

// Cleans one received chunk: a backspace removes the character before it (one
// without a character before it marks replacesLast, however many there are), every
// line feed is dropped and every carriage return becomes carriage return + line feed.
Chunk clean(const QString& received);

// The chunk text as the box holds it: one line break per carriage return + line feed.
QString forDisplay(const QString& text);

// Received text that has not reached the box yet. Adding pieces one by one and
// applying the batch once leaves the box exactly as appending every piece on its
// own (trimming first, a leading backspace taking the last character) would, so
// a flood costs the box one update instead of one per read. Positions count box
// characters, where a line break is one; the trim counts it as two.
struct Batch
{
    // A box without line breaks, of that many characters.
    explicit Batch(qsizetype boxLength = 0)
        : boxEnd(boxLength)
    {
    }
    // The box as it holds its text: lines separated by line feeds or paragraph
    // separators (QTextDocument::toRawText()).
    explicit Batch(const QString& boxText);

    qsizetype boxStart = 0; // the box's oldest characters before this are dropped
    qsizetype boxEnd = 0; // its characters from here on are taken back by backspaces
    QString tail; // display text to append; its first tailStart characters are dropped
    qsizetype tailStart = 0;

    qsizetype length() const { return boxEnd - boxStart + tail.size() - tailStart; }
    // The length as the trim counts it: every line break two characters.
    qsizetype trimLength() const { return length() + breaks; }

    QString box; // the box's text, to find its line breaks (empty: none)
    qsizetype breaks = 0; // line breaks between boxStart and the end of the tail
};

// Adds one cleaned piece (its display form) as AppendReceived would append it.
void add(Batch& batch, bool replacesLast, const QString& shown);

// What happened on the line, as the receive path reports it.
enum class LinkEvent {
    Received,
    Overrun,
    ReceiveOverflow,
    Framing,
    Parity,
    Break,
    TransmitHeld, // a line held back by the controller past its bound
};

// The texts that an event of the line sets.
struct EventTexts
{
    QString status; // shown as "Status: " + status
    QString error; // shown as "Status: " + error, with a beep and a message box
};
EventTexts eventTexts(LinkEvent event);

} // namespace ReceiveFilter
