#include "RecordFormats.h"

#include <QStringList>

namespace RecordFormats {

namespace {
    const QLatin1Char Blank(' ');

    QString joined(const QStringList& fields)
    {
        return fields.join(Blank);
    }
} // namespace

QString trimBlanks(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == Blank)
        ++begin;
    while (end > begin && text.at(end - 1) == Blank)
        --end;
    return text.mid(begin, end - begin);
}

QString tenant(const QString& directoryDigits, const QString& telephoneText, const QString& nameText)
{
    return QStringLiteral("TNTDIR:") + directoryDigits + QStringLiteral("TEL:") + trimBlanks(telephoneText)
        + QStringLiteral(" NAME:") + trimBlanks(nameText);
}

AccessCodeProblem accessCodeProblem(
    const QString& codeDigits, const QString& doorDigits, const QString& periodDigits)
{
    if (codeDigits.size() != 4)
        return AccessCodeProblem::CodeNotFourDigits;
    if (doorDigits.isEmpty())
        return AccessCodeProblem::NoDoor;
    if (periodDigits.isEmpty())
        return AccessCodeProblem::NoPeriod;
    return AccessCodeProblem::None;
}

QString accessCode(const QString& codeDigits, const QString& cardDigits, const QString& periodDigits,
    const QString& periodText, const QString& doorDigits, const QString& nameText)
{
    const QString card = cardDigits.isEmpty() ? QStringLiteral("NNNNN") : cardDigits.rightJustified(5, u'0');
    QString periods = trimBlanks(periodText);
    for (qsizetype missing = 3 - periodDigits.size(); missing > 0; --missing)
        periods += QStringLiteral(" N");
    return joined({ QStringLiteral("ACD"), codeDigits, card, periods, doorDigits, trimBlanks(nameText) });
}

QString autoSchedule(const QString& numberDigits, const QString& doorDigits, const QString& beginText,
    const QString& endText, const QString& daysText)
{
    return joined({ QStringLiteral("ATS"), numberDigits, doorDigits, trimBlanks(beginText),
        trimBlanks(endText), trimBlanks(daysText) });
}

QString twoDigits(const QString& digits)
{
    return digits.size() == 1 ? QLatin1Char('0') + digits : digits;
}

QString holiday(const QString& numberDigits, const QString& monthDigits, const QString& dayDigits)
{
    return QStringLiteral("HLD ") + twoDigits(numberDigits) + Blank + twoDigits(monthDigits)
        + QLatin1Char('/') + twoDigits(dayDigits);
}

QString timeZone(
    const QString& numberDigits, const QString& beginText, const QString& endText, const QString& daysText)
{
    return joined({ QStringLiteral("TMZ"), numberDigits, trimBlanks(beginText), trimBlanks(endText),
        trimBlanks(daysText) });
}

} // namespace RecordFormats
