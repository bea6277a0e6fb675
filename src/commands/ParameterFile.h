#pragma once

#include <QMap>
#include <QString>

#include <optional>

// The parameter file (.PAR): the values of the parameter boxes, one keyword line
// each, in the keywords of their commands. Pure text in and out; the menus that
// read and fill the boxes sit elsewhere.
namespace ParameterFile {

// The boxes a parameter file keeps, by their design names.
enum class Field { Text2, Text3, Crno, medit1, medit2, medit3, medit4, medit5, rl2, MsgWel };

// Box contents to save: masked boxes by their typed digits, text boxes whole.
// A missing or empty value writes no line.
using Values = QMap<Field, QString>;

// One box setting that a read line asks for, the value already converted
// (zero-padded for the fixed-width fields).
struct Entry
{
    Field field;
    QString value;
};

// The file's text: one line per non-empty box in the fixed order, each ended by
// CR LF, then one more CR LF.
QString write(const Values& values);

// The setting one line asks for, after trimming its blanks; nothing when the line
// matches no rule (wrong length, unknown or lower-case keyword, empty).
std::optional<Entry> readLine(const QString& line);

// Some editors begin a file with a UTF-8 byte-order mark (read in the files' code
// page as the three characters \u00ef\u00bb\u00bf): such a file is UTF-8. Its first
// line as read tells whether the file is one.
bool startsWithByteOrderMark(const QString& firstLine);
// A line of such a file as read, the mark dropped and the rest taken as UTF-8.
QString fromUtf8Line(const QString& line);

} // namespace ParameterFile
