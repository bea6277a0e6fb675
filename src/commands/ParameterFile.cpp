#include "ParameterFile.h"

#include "TypedText.h"

#include <array>

namespace {

using ParameterFile::Field;

struct WriteRow
{
    Field field;
    const char* keyword;
    bool blank; // keyword and value separated by one blank, as in the command line
};

// The order in which a file holds its lines.
constexpr std::array<WriteRow, 10> writeRows { {
    { Field::Text2, "PHO", false },
    { Field::Text3, "PGM", false },
    { Field::Crno, "PARFCN", true },
    { Field::medit1, "PARCHT", true },
    { Field::medit2, "PARDOT1", true },
    { Field::medit3, "PARDOT2", true },
    { Field::medit4, "PARCLT", true },
    { Field::medit5, "PARSYD", true },
    { Field::rl2, "PARLMO", true },
    { Field::MsgWel, "PARMSG", true },
} };

struct ReadRule
{
    const char* keyword; // compared with the start of the trimmed line, case-sensitively
    Field field;
    int minLength; // of the whole trimmed line
    int maxLength; // 0: any length
    int valueStart; // the value is everything from here
    int width; // left-padded with zeros to this width; 0: taken as it is
};

// Tested in this order; the lengths are those a value of the box's width gives.
constexpr std::array<ReadRule, 10> readRules { {
    { "PHO", Field::Text2, 3, 0, 3, 0 },
    { "PGM", Field::Text3, 7, 7, 3, 0 },
    { "PARCLT", Field::medit4, 8, 8, 7, 0 },
    { "PARSYD", Field::medit5, 8, 8, 7, 0 },
    { "PARLMO", Field::rl2, 8, 8, 7, 0 },
    { "PARMSG", Field::MsgWel, 6, 0, 7, 0 },
    { "PARCHT", Field::medit1, 8, 10, 7, 3 },
    { "PARFCN", Field::Crno, 8, 10, 7, 3 },
    { "PARDOT1", Field::medit2, 9, 10, 8, 2 },
    { "PARDOT2", Field::medit3, 9, 10, 8, 2 },
} };

const QString crlf = QStringLiteral("\r\n");

} // namespace

QString ParameterFile::write(const Values& values)
{
    QString text;
    for (const WriteRow& row : writeRows) {
        const QString value = values.value(row.field);
        if (value.isEmpty())
            continue;
        text += QLatin1String(row.keyword);
        if (row.blank)
            text += QLatin1Char(' ');
        text += value + crlf;
    }
    return text + crlf;
}

std::optional<ParameterFile::Entry> ParameterFile::readLine(const QString& line)
{
    const QString trimmed = TypedText::trimBlanks(line);
    for (const ReadRule& rule : readRules) {
        if (!trimmed.startsWith(QLatin1String(rule.keyword)))
            continue;
        if (trimmed.size() < rule.minLength || (rule.maxLength > 0 && trimmed.size() > rule.maxLength))
            continue;
        QString value = trimmed.mid(rule.valueStart);
        if (rule.width > 0)
            value = value.rightJustified(rule.width, QLatin1Char('0'));
        return Entry { rule.field, value };
    }
    return std::nullopt;
}

bool ParameterFile::startsWithByteOrderMark(const QString& firstLine)
{
    return firstLine.startsWith(QStringLiteral(u"\u00ef\u00bb\u00bf"));
}

QString ParameterFile::fromUtf8Line(const QString& line)
{
    QByteArray bytes = line.toLatin1();
    if (bytes.startsWith("\xef\xbb\xbf"))
        bytes.remove(0, 3);
    return QString::fromUtf8(bytes);
}
