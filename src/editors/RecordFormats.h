#pragma once

#include <QString>

// The record line of each database kind, built from what the editor boxes read:
// the typed digits of a masked box, or its box text (literals kept, unfilled
// positions as blanks). A line is returned without its CR LF.
namespace RecordFormats {

// TNTDIR:<directory>TEL:<telephone> NAME:<name>
QString tenant(const QString& directoryDigits, const QString& telephoneText, const QString& nameText);

// Which input test of the access-code window fails first.
enum class AccessCodeProblem { None, CodeNotFourDigits, NoDoor, NoPeriod };
AccessCodeProblem accessCodeProblem(
    const QString& codeDigits, const QString& doorDigits, const QString& periodDigits);

// ACD <code> <card> <periods> <door> <name>; the card is zero-filled to five digits or
// NNNNN, and every period left out adds " N" after the periods' box text.
QString accessCode(const QString& codeDigits, const QString& cardDigits, const QString& periodDigits,
    const QString& periodText, const QString& doorDigits, const QString& nameText);

// ATS <number> <door> <begin> <end> <day flags>
QString autoSchedule(const QString& numberDigits, const QString& doorDigits, const QString& beginText,
    const QString& endText, const QString& daysText);

// One typed digit gets a leading "0"; two, or none, stay as typed.
QString twoDigits(const QString& digits);

// HLD <number> <month>/<day>, each value under the two-digit rule.
QString holiday(const QString& numberDigits, const QString& monthDigits, const QString& dayDigits);

// TMZ <number> <begin> <end> <day flags>
QString timeZone(
    const QString& numberDigits, const QString& beginText, const QString& endText, const QString& daysText);

} // namespace RecordFormats
