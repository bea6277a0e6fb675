#include "MonitorFormat.h"

#include <QLocale>

namespace MonitorFormat {

namespace {
    const char HexDigits[] = "0123456789ABCDEF";

    QString namedByte(uchar byte)
    {
        switch (byte) {
        case '\r':
            return QStringLiteral("<CR>");
        case '\n':
            return QStringLiteral("<LF>");
        case 0x13:
            return QStringLiteral("<XOFF>");
        case 0x11:
            return QStringLiteral("<XON>");
        case 0x08:
            return QStringLiteral("<BS>");
        default:
            return QStringLiteral("<0x") + QLatin1Char(HexDigits[byte >> 4])
                + QLatin1Char(HexDigits[byte & 15]) + QLatin1Char('>');
        }
    }
} // namespace

QString byteText(const QByteArray& bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = uchar(c);
        // C0 and C1 controls and DEL are named; the rest is Latin-1 text.
        if (byte < 0x20 || (byte >= 0x7f && byte < 0xa0))
            text += namedByte(byte);
        else
            text += QChar(byte);
    }
    return text;
}

QString hexText(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

QString timeText(const QDateTime& time)
{
    return time.toString(QStringLiteral("HH:mm:ss.zzz"));
}

QString directionText(Direction direction)
{
    switch (direction) {
    case Direction::Sent:
        return QStringLiteral("Sent");
    case Direction::Received:
        return QStringLiteral("Received");
    case Direction::Mark:
        break;
    }
    return QString();
}

QString rowText(const Row& row)
{
    return row.direction == Direction::Mark ? row.mark : byteText(row.bytes);
}

QString releaseText(qint64 heldMs)
{
    return QStringLiteral("Released after %1 s").arg(QLocale::c().toString(heldMs / 1000.0, 'f', 3));
}

QString recordFileName(const QDateTime& started)
{
    return started.toString(QStringLiteral("'session-'yyyy-MM-dd-HHmm-ss'.txt'"));
}

qsizetype rowEnd(const QByteArray& bytes, qsizetype from)
{
    const qsizetype lf = bytes.indexOf('\n', from);
    return lf < 0 ? bytes.size() : lf + 1;
}

QByteArray headerLine()
{
    return QByteArrayLiteral("Time\tDirection\tText\tHex\r\n");
}

QByteArray savedLine(const Row& row)
{
    QByteArray line = timeText(row.time).toLatin1();
    line += '\t';
    line += directionText(row.direction).toLatin1();
    line += '\t';
    line += rowText(row).toUtf8();
    line += '\t';
    line += row.bytes.toHex(' ').toUpper();
    line += "\r\n";
    return line;
}

} // namespace MonitorFormat
