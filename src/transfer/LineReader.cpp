#include "LineReader.h"

#include "TextFiles.h"

#include <QIODevice>

LineReader::LineReader(QIODevice& device)
    : m_device(device)
{
}

bool LineReader::atEnd() const
{
    return m_device.atEnd();
}

bool LineReader::next(QString& line)
{
    if (m_device.atEnd())
        return false;
    QByteArray bytes;
    char c = 0;
    while (m_device.getChar(&c)) {
        if (c == '\n')
            break;
        if (c == '\r') {
            char following = 0;
            if (m_device.peek(&following, 1) == 1 && following == '\n')
                m_device.getChar(&following);
            break;
        }
        bytes.append(c);
    }
    line = TextFiles::fromFileBytes(bytes);
    return true;
}
