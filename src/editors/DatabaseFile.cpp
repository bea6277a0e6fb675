#include "DatabaseFile.h"

#include "LineReader.h"
#include "TextFiles.h"

#include <QBuffer>
#include <QFile>

namespace DatabaseFile {

Loaded load(const QString& path)
{
    if (QString reason = TextFiles::notAFileReason(path); !reason.isEmpty())
        return { false, {}, reason };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return { false, {}, file.errorString() };
    qint64 longLine = 0;
    QString content = contentFromFile(file, longLine);
    if (longLine > 0)
        return { false, {}, TextFiles::longLineReason(longLine) };
    if (file.error() != QFileDevice::NoError)
        return { false, {}, file.errorString() };
    return { true, content, {} };
}

QString contentFromFile(QIODevice& file, qint64& longLine)
{
    longLine = 0;
    LineReader reader(file);
    QString content;
    QString line;
    while (reader.next(line)) {
        if (reader.tooLong()) {
            longLine = reader.lineNumber();
            break;
        }
        qsizetype first = 0;
        while (first < line.size() && line.at(first) == QLatin1Char(' '))
            ++first;
        content += QStringView(line).mid(first);
        content += QLatin1String("\r\n");
    }
    return content;
}

QString contentFromFile(const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    qint64 longLine = 0;
    return contentFromFile(buffer, longLine);
}

QByteArray fileFromContent(const QString& content)
{
    return TextFiles::toFileBytes(content + QLatin1String("\r\n"));
}

} // namespace DatabaseFile
