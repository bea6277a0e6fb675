#include "LineReader.h"

#include "TextFiles.h"

#include <QIODevice>

namespace {
// Read in blocks: scanning a block for line ends is far cheaper than a call per byte.
constexpr qint64 BlockBytes = 64 * 1024;
} // namespace

LineReader::LineReader(QIODevice& device)
    : m_device(device)
{
}

bool LineReader::atEnd() const
{
    return m_pos >= m_buffer.size() && m_device.atEnd();
}

bool LineReader::fill()
{
    if (m_pos < m_buffer.size())
        return true;
    m_buffer = m_device.read(BlockBytes);
    m_pos = 0;
    return !m_buffer.isEmpty();
}

bool LineReader::next(QString& line)
{
    if (!fill())
        return false;
    ++m_lineNumber;
    m_tooLong = false;
    QByteArray bytes;
    for (;;) {
        if (!fill())
            break; // the last line, without an end
        const char* const begin = m_buffer.constData() + m_pos;
        const char* const end = m_buffer.constData() + m_buffer.size();
        const char* stop = begin;
        while (stop != end && *stop != '\n' && *stop != '\r')
            ++stop;
        if (!m_tooLong) {
            if (bytes.size() + (stop - begin) > MaxLineBytes) {
                m_tooLong = true;
                bytes.clear();
            } else {
                bytes.append(begin, stop - begin);
            }
        }
        m_consumed += stop - begin;
        m_pos += stop - begin;
        if (stop == end)
            continue;
        const char ending = *stop;
        ++m_pos;
        ++m_consumed;
        if (ending == '\r' && fill() && m_buffer.at(m_pos) == '\n') {
            ++m_pos;
            ++m_consumed;
        }
        break;
    }
    line = TextFiles::fromFileBytes(bytes);
    return true;
}
