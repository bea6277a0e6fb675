#include "RecordLines.h"

#include "TypedText.h"

#include "TextFiles.h"

#include <algorithm>
#include <limits>

bool RecordLines::isRecord(const QString& line)
{
    const QString code = TypedText::trimBlanks(line).left(3);
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

double RecordLines::pauseSeconds(const QString& byteCycleText)
{
    return TypedText::leadingNumber(byteCycleText) * 50.0 / 1000.0;
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
