#pragma once

#include <QByteArray>
#include <QString>

class Dialogs;

// File access that the subsystems share: whole-file writes through QSaveFile, so
// an old file stays intact until the new one is complete (where the folder allows
// a temporary file), and Latin-1 text.
namespace TextFiles {

// The title of the messages of a save: an empty text to save, a failed write.
inline const QString SaveFileTitle = QStringLiteral("Save file");

// The database files an open dialog offers, all files first ("Open Send File"; the
// database send adds the parameter files).
inline const QString DatabaseFilesFilter = QStringLiteral(
    "All Files (*.*)|*.*|TNT Files(*.TNT)|*.TNT|ACD Files (*.ACD)|*.ACD|HLD files (*.HLD)|*.HLD|"
    "ATS files (*.ATS)|*.ATS|TMZ files (*.TMZ)|*.TMZ");

struct Result
{
    bool ok = false;
    QString error; // the system's reason when !ok
};

// Writes bytes as the whole new content of path.
Result save(const QString& path, const QByteArray& bytes);

// The text of the box that tells a file could not be read, with the system's reason;
// its title is ReadFailureTitle.
QString readFailureText(const QString& path, const QString& reason);
inline constexpr char ReadFailureTitle[] = "Open file";
// Shows that box (exclamation, OK).
void reportReadFailure(Dialogs& dialogs, const QString& path, const QString& reason);

// The reason not to read path when it names a device or a pipe (reading /dev/zero
// never ends, opening a FIFO waits for a writer); empty for a file, a folder or
// nothing at all, which opening itself reports.
QString notAFileReason(const QString& path);
// The reason a file with a line longer than LineReader::MaxLineBytes is refused.
QString longLineReason(qint64 lineNumber);

// Text <-> bytes in the single-byte code page of the files (Latin-1, so every byte
// round-trips); characters outside it become '?'.
QByteArray toFileBytes(const QString& text);
QString fromFileBytes(const QByteArray& bytes);

} // namespace TextFiles
