#pragma once

#include <QByteArray>
#include <QString>

// The database files as the editors read and write them: text in the files'
// single-byte code page, each line ended by CR LF.
namespace DatabaseFile {

// The File Content text of a loaded file: every line (ended by CR LF, a lone CR, a
// lone LF or the end of the file) without its leading blanks, followed by CR LF.
QString contentFromFile(const QByteArray& bytes);

// The bytes a save writes: the text, then one more CR LF.
QByteArray fileFromContent(const QString& content);

} // namespace DatabaseFile
