#include "RecordFormats.h"

#include "TypedText.h"

#include <QStringList>

namespace RecordFormats {

namespace {
    const QLatin1Char Blank(' ');

    QString joined(const QStringList& fields)
    {
        return fields.join(Blank);
    }
} // namespace

QString tenant(const QString& directoryDigits, const QString& telephoneText, const QString& nameText)
{
    return QStringLiteral("TNTDIR:") + directoryDigits + QStringLiteral("TEL:")
        + TypedText::trimBlanks(telephoneText) + QStringLiteral(" NAME:") + TypedText::trimBlanks(nameText);
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
    QString periods = TypedText::trimBlanks(periodText);
    for (qsizetype missing = 3 - periodDigits.size(); missing > 0; --missing)
        periods += QStringLiteral(" N");
    return joined(
        { QStringLiteral("ACD"), codeDigits, card, periods, doorDigits, TypedText::trimBlanks(nameText) });
}

QString autoSchedule(const QString& numberDigits, const QString& doorDigits, const QString& beginText,
    const QString& endText, const QString& daysText)
{
    return joined({ QStringLiteral("ATS"), numberDigits, doorDigits, TypedText::trimBlanks(beginText),
        TypedText::trimBlanks(endText), TypedText::trimBlanks(daysText) });
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
    return joined({ QStringLiteral("TMZ"), numberDigits, TypedText::trimBlanks(beginText),
        TypedText::trimBlanks(endText), TypedText::trimBlanks(daysText) });
}

} // namespace RecordFormats
