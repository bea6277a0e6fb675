#pragma once

#include <QByteArray>
#include <QList>

// Cuts a byte stream into lines. A line ends at CR, at LF or at CR LF (one end, not
// two), so a terminal that sends bare CR and a script that sends bare LF both work.
// Input may arrive in any fragments; an unfinished line waits for the next call.
class LineSplitter
{
public:
    // Longest line kept; the controller's own lines are far shorter, so anything
    // longer is noise and is dropped rather than grown without bound.
    static constexpr qsizetype maxLineLength = 256;

    // Returns the lines completed by these bytes, without their ends. A line that
    // overflowed comes back as overlongMarker() so the caller can say so once.
    QList<QByteArray> feed(const QByteArray& bytes);

    // Forgets a partly received line (the link was dropped).
    void reset();

    static QByteArray overlongMarker();

private:
    QByteArray m_line;
    bool m_afterCr = false;
    bool m_overlong = false;
};
