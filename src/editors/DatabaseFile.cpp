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
        qsizetype end = text.indexOf(QLatin1Char('\r'), start);
        qsizetype next = end + 1;
        if (end < 0)
            end = next = text.size();
        else if (next < text.size() && text.at(next) == QLatin1Char('\n'))
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
