#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>

#include <optional>
#include <span>

// The line formats the simulated controller understands and writes: database
// record lines, parameter commands, clear commands, clock commands and its own
// event records. Pure functions, no I/O.
namespace SimFormat {

// How the number that identifies a record is found in its line.
enum class KeyRule {
    TenantDirectory, // digits between "TNTDIR:" and "TEL:"
    SecondField, // the field after the kind code, fields separated by blanks
};

struct RecordKind
{
    const char* code; // also the first three characters of every line of the kind
    const char* name; // how the controller speaks of it in replies
    KeyRule key;
};

// The five database kinds, in the order the full dump lists them.
std::span<const RecordKind> recordKinds();
const RecordKind* findRecordKind(QByteArrayView code);

// The kind of a record line, recognised like the tool's database send does it:
// the first three characters after leading blanks, case-sensitive.
const RecordKind* recordKindOf(QByteArrayView line);

// The record's number; nothing when the line does not carry one where its kind
// keeps it.
std::optional<qint64> recordKey(const RecordKind& kind, QByteArrayView line);

// A decimal number of one to nine digits and nothing else.
std::optional<qint64> number(QByteArrayView text);

// What a parameter command's value must be.
enum class ValueRule {
    Digits, // one or more digits
    OptionalDigits, // digits or nothing
    Text, // any text that is not empty
    MasterCode, // exactly four digits: the only code the tool's entry box can type
    None, // a switch: no value
};

struct Parameter
{
    const char* keyword;
    // Commands that share a group overwrite each other (on/off pairs).
    const char* group;
    ValueRule rule;
};

std::span<const Parameter> parameters();

struct ParameterCommand
{
    const Parameter* parameter = nullptr;
    QByteArray value;
    // The line as it is stored and dumped back: keyword, and for a value one blank and the value.
    QByteArray line() const;
};

enum class ParameterError { NotAParameter, BadValue };

// A parameter line, leading blanks allowed. The value is everything after the first
// blank; for digit values surrounding blanks are dropped, a text keeps them.
struct ParsedParameter
{
    std::optional<ParameterCommand> command;
    ParameterError error = ParameterError::NotAParameter;
};
ParsedParameter parseParameter(QByteArrayView line);

// "KLR ACD 1234", "CLR TNT 12", "KLR HLD": either prefix, any kind that can be
// cleared; no number means the whole database, like an all-zero number.
struct ClearCommand
{
    QByteArray kind; // "TNT", "ACD", "ATS", "HLD", "TMZ" or "EVR"
    bool hasNumber = false;
    qint64 key = 0;
    QByteArray keyText; // the number as sent, for the reply
    bool clearsAll() const { return !hasNumber || key == 0; }
};
bool isClearCommand(QByteArrayView line);
std::optional<ClearCommand> parseClear(QByteArrayView line);

// "TIM hh mm" and "DAT mm dd yyyy w" (weekday 1 = Monday to 7 = Sunday).
std::optional<QTime> parseTime(QByteArrayView line);
std::optional<QDate> parseDate(QByteArrayView line);

// An event record line: "EVR mm/dd/yyyy hh:mm " + what happened.
QByteArray eventLine(const QDateTime& when, QByteArrayView what);
bool isEventLine(QByteArrayView line);

// Blanks split fields; runs of blanks count as one.
QList<QByteArray> fields(QByteArrayView line);

} // namespace SimFormat
