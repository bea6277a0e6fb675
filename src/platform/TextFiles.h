#pragma once

#include <QByteArray>
#include <QString>

// File access that the subsystems share: whole-file writes through QSaveFile, so
// an old file stays intact until the new one is complete, and Latin-1 text.
namespace TextFiles {

struct Result {
    bool ok = false;
    QString error; // the system's reason when !ok
};

// Writes bytes as the whole new content of path.
Result save(const QString &path, const QByteArray &bytes);
// Reads the whole file.
Result load(const QString &path, QByteArray &bytes);

// Text <-> bytes in the single-byte code page of the files (Latin-1, so every byte
// round-trips); characters outside it become '?'.
QByteArray toFileBytes(const QString &text);
QString fromFileBytes(const QByteArray &bytes);

} // namespace TextFiles
