#include "CommandLine.h"

#include <QDate>
#include <QTime>

namespace {

QByteArray toLine(const QString& text)
{
    return text.toLatin1() + "\r\n";
}

} // namespace

QByteArray CommandLine::fixed(const QString& keyword)
{
    return toLine(keyword);
}

QByteArray CommandLine::withValue(const QString& keyword, const QString& value)
{
    return toLine(keyword + QLatin1Char(' ') + value);
}

QByteArray CommandLine::masterCode(const QString& code)
{
    return toLine(QStringLiteral("PGM") + code);
}

QString CommandLine::twoDigits(int number)
{
    return QStringLiteral("%1").arg(number, 2, 10, QLatin1Char('0'));
}

QByteArray CommandLine::time(const QTime& time)
{
    return toLine(QStringLiteral("TIM %1 %2").arg(twoDigits(time.hour()), twoDigits(time.minute())));
}

QByteArray CommandLine::date(const QDate& date)
{
    // QDate counts the week from Monday = 1 to Sunday = 7, as the controller does.
    return toLine(QStringLiteral("DAT %1 %2 %3 %4")
                      .arg(twoDigits(date.month()), twoDigits(date.day()), QString::number(date.year()),
                          QString::number(date.dayOfWeek())));
}
