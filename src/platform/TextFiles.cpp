#include "TextFiles.h"

#include "Dialogs.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace TextFiles {

Result save(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
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

Result load(const QString& path, QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return { false, file.errorString() };
    bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
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
