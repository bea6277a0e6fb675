#include "DatabaseFile.h"

#include "TextFiles.h"

namespace DatabaseFile {

QString contentFromFile(const QByteArray& bytes)
{
    const QString text = TextFiles::fromFileBytes(bytes);
    QString content;
    content.reserve(text.size() + text.size() / 16);
    qsizetype start = 0;
    while (start < text.size()) {
        // A line ends at CR LF, a lone CR or a lone LF, as the send reads it.
        qsizetype end = start;
        while (end < text.size() && text.at(end) != QLatin1Char('\r') && text.at(end) != QLatin1Char('\n'))
            ++end;
        qsizetype next = end + 1;
        if (end == text.size())
            next = end;
        else if (text.at(end) == QLatin1Char('\r') && next < text.size()
            && text.at(next) == QLatin1Char('\n'))
            ++next;
        qsizetype first = start;
        while (first < end && text.at(first) == QLatin1Char(' '))
            ++first;
        content += QStringView(text).mid(first, end - first);
        content += QLatin1String("\r\n");
        start = next;
    }
    return content;
}

QByteArray fileFromContent(const QString& content)
{
    return TextFiles::toFileBytes(content + QLatin1String("\r\n"));
}

} // namespace DatabaseFile
