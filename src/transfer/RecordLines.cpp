#include "RecordLines.h"

#include "ParameterFile.h"
#include "TextFiles.h"

#include <algorithm>
#include <limits>

bool RecordLines::isRecord(const QString& line)
{
    const QString code = ParameterFile::trimBlanks(line).left(3);
    for (const char* kind : kindCodes) {
        if (code == QLatin1String(kind))
            return true;
    }
    return false;
}

QByteArray RecordLines::wireLine(const QString& line)
{
    return TextFiles::toFileBytes(line) + "\r\n";
}

double RecordLines::leadingNumber(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && (text.at(i) == QLatin1Char(' ') || text.at(i) == QLatin1Char('\t')))
        ++i;
    const qsizetype start = i;
    if (i < text.size() && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-')))
        ++i;
    while (i < text.size() && text.at(i).isDigit())
        ++i;
    if (i < text.size() && text.at(i) == QLatin1Char('.')) {
        ++i;
        while (i < text.size() && text.at(i).isDigit())
            ++i;
    }
    bool ok = false;
    const double value = text.mid(start, i - start).toDouble(&ok);
    return ok ? value : 0.0;
}

double RecordLines::pauseSeconds(const QString& byteCycleText)
{
    return leadingNumber(byteCycleText) * 50.0 / 1000.0;
}

int RecordLines::progressMaximum(qint64 total)
{
    return int(std::clamp<qint64>(total, 0, std::numeric_limits<int>::max()));
}

int RecordLines::progressValue(qint64 count, qint64 total)
{
    const qint64 maximum = progressMaximum(total);
    if (total <= 0 || count <= 0)
        return 0;
    if (count >= total)
        return int(maximum);
    if (total == maximum)
        return int(count);
    // count / total of the bar, without overflowing count * maximum.
    return int(double(count) / double(total) * double(maximum));
}
