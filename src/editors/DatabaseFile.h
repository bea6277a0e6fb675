#pragma once

#include <QByteArray>
#include <QString>

class QIODevice;

// The database files as the editors read and write them: text in the files'
// single-byte code page, each line ended by CR LF.
namespace DatabaseFile {

// A file read for an editor: its File Content text, or why it was not read.
struct Loaded
{
    bool ok = false;
    QString content;
    QString error; // the reason to show when !ok
};

// Reads path line by line. A device or a pipe, or a line longer than the controller
// takes (LineReader::MaxLineBytes), refuses the whole file.
Loaded load(const QString& path);

// The File Content text of a file: every line (ended by CR LF, a lone CR, a lone LF
// or the end of the file) without its leading blanks, followed by CR LF. Reading
// stops before a line longer than the controller takes; longLine is its number
// (from 1), 0 when there is none.
QString contentFromFile(QIODevice& file, qint64& longLine);
// The same for bytes in memory.
QString contentFromFile(const QByteArray& bytes);

// The bytes a save writes: the text, then one more CR LF.
QByteArray fileFromContent(const QString& content);

} // namespace DatabaseFile
