#include "TextFiles.h"

#include "Dialogs.h"
#include "LineReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace TextFiles {

Result save(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    // A file the user may write in a folder they may not (no temporary file can be
    // made there) is written in place rather than not at all; failures still count.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return { false, file.errorString() };
    if (file.write(bytes) != bytes.size()) {
        const QString error = file.errorString();
        file.cancelWriting();
        return { false, error };
    }
    if (!file.commit())
        return { false, file.errorString() };
    return { true, {} };
}

QString readFailureText(const QString& path, const QString& reason)
{
    QString text = QStringLiteral("The file %1 could not be read.").arg(QDir::toNativeSeparators(path));
    if (!reason.isEmpty())
        text += QLatin1Char('\n') + reason;
    return text;
}

void reportReadFailure(Dialogs& dialogs, const QString& path, const QString& reason)
{
    dialogs.inform(
        readFailureText(path, reason), QString::fromLatin1(ReadFailureTitle), Dialogs::Icon::Exclamation);
}

QString notAFileReason(const QString& path)
{
    const QFileInfo info(path);
    if (info.exists() && !info.isFile() && !info.isDir())
        return QStringLiteral("It is a device or a pipe, not a file.");
    return {};
}

QString longLineReason(qint64 lineNumber)
{
    return QStringLiteral("Line %1 is longer than %2 characters, more than the controller takes.")
        .arg(lineNumber)
        .arg(LineReader::MaxLineBytes);
}

QByteArray toFileBytes(const QString& text)
{
    // toLatin1() already turns characters above U+00FF into '?'.
    return text.toLatin1();
}

QString fromFileBytes(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes);
}

} // namespace TextFiles
