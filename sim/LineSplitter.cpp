#include "LineSplitter.h"

namespace {
constexpr char xon = 0x11;
constexpr char xoff = 0x13;
} // namespace

QByteArray LineSplitter::overlongMarker()
{
    return QByteArrayLiteral("\x01overlong");
}

QList<QByteArray> LineSplitter::feed(const QByteArray& bytes)
{
    QList<QByteArray> lines;
    for (const char c : bytes) {
        if (c == '\n' && m_afterCr) {
            // The LF of a CR LF pair: the line already ended at the CR.
            m_afterCr = false;
            continue;
        }
        m_afterCr = c == '\r';
        if (c == '\r' || c == '\n') {
            lines.append(m_overlong ? overlongMarker() : m_line);
            m_line.clear();
            m_overlong = false;
            continue;
        }
        // Flow-control bytes belong to the line discipline, never to a command.
        if (c == xon || c == xoff || c == '\0')
            continue;
        if (m_overlong)
            continue;
        if (m_line.size() >= maxLineLength) {
            m_overlong = true;
            m_line.clear();
            continue;
        }
        m_line.append(c);
    }
    return lines;
}

void LineSplitter::reset()
{
    m_line.clear();
    m_afterCr = false;
    m_overlong = false;
}
