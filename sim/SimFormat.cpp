#include "SimFormat.h"

#include <array>

namespace SimFormat {

namespace {

    constexpr std::array kinds = {
        RecordKind { "TNT", "TENANT", KeyRule::TenantDirectory },
        RecordKind { "ACD", "ACCESS CODE", KeyRule::SecondField },
        RecordKind { "ATS", "AUTO SCHEDULE", KeyRule::SecondField },
        RecordKind { "HLD", "HOLIDAY", KeyRule::SecondField },
        RecordKind { "TMZ", "TIME ZONE", KeyRule::SecondField },
    };

    constexpr std::array parameterTable = {
        Parameter { "PARFCN", "PARFCN", ValueRule::Digits },
        Parameter { "PARCHT", "PARCHT", ValueRule::Digits },
        Parameter { "PARDOT1", "PARDOT1", ValueRule::Digits },
        Parameter { "PARDOT2", "PARDOT2", ValueRule::Digits },
        Parameter { "PARCLT", "PARCLT", ValueRule::Digits },
        Parameter { "PARSYD", "PARSYD", ValueRule::Digits },
        Parameter { "PAROHR1", "PAROHR1", ValueRule::Digits },
        Parameter { "PAROHR2", "PAROHR2", ValueRule::Digits },
        Parameter { "PARLMO", "PARLMO", ValueRule::Digits },
        Parameter { "PARNUM", "PARNUM", ValueRule::Digits },
        Parameter { "PARMSG", "PARMSG", ValueRule::Text },
        Parameter { "PARCMC", "PARCMC", ValueRule::MasterCode },
        Parameter { "PARPBXON", "PBX", ValueRule::None },
        // The tool sends the door 1 unlock hour along with it, possibly empty.
        Parameter { "PARPBXOFF", "PBX", ValueRule::OptionalDigits },
        Parameter { "PARPDL", "DIAL", ValueRule::None },
        Parameter { "PARTDL", "DIAL", ValueRule::None },
        Parameter { "PARCONM", "SYSTEM", ValueRule::None },
        Parameter { "PARCONS", "SYSTEM", ValueRule::None },
        Parameter { "PAROWRON", "CARD", ValueRule::None },
        Parameter { "PAROWROFF", "CARD", ValueRule::None },
    };

    bool isBlank(char c)
    {
        return c == ' ' || c == '\t';
    }

    QByteArrayView trimmedStart(QByteArrayView line)
    {
        qsizetype i = 0;
        while (i < line.size() && isBlank(line[i]))
            ++i;
        return line.sliced(i);
    }

    QByteArrayView trimmed(QByteArrayView line)
    {
        line = trimmedStart(line);
        qsizetype end = line.size();
        while (end > 0 && isBlank(line[end - 1]))
            --end;
        return line.first(end);
    }

    bool allDigits(QByteArrayView text)
    {
        for (const char c : text)
            if (c < '0' || c > '9')
                return false;
        return !text.isEmpty();
    }

    bool valueFits(ValueRule rule, QByteArrayView value)
    {
        switch (rule) {
        case ValueRule::Digits:
            return allDigits(value);
        case ValueRule::OptionalDigits:
            return value.isEmpty() || allDigits(value);
        case ValueRule::Text:
            return !trimmed(value).isEmpty();
        case ValueRule::MasterCode:
            return value.size() == 4 && allDigits(value);
        case ValueRule::None:
            return value.isEmpty();
        }
        return false;
    }

} // namespace

std::span<const RecordKind> recordKinds()
{
    return kinds;
}

const RecordKind* findRecordKind(QByteArrayView code)
{
    for (const RecordKind& kind : kinds)
        if (code == kind.code)
            return &kind;
    return nullptr;
}

const RecordKind* recordKindOf(QByteArrayView line)
{
    const QByteArrayView start = trimmedStart(line);
    return start.size() >= 3 ? findRecordKind(start.first(3)) : nullptr;
}

std::optional<qint64> number(QByteArrayView text)
{
    if (!allDigits(text) || text.size() > 9)
        return std::nullopt;
    return text.toLongLong();
}

std::optional<qint64> recordKey(const RecordKind& kind, QByteArrayView line)
{
    const QByteArrayView start = trimmedStart(line);
    switch (kind.key) {
    case KeyRule::TenantDirectory: {
        static constexpr QByteArrayView prefix = "TNTDIR:";
        if (!start.startsWith(prefix))
            return std::nullopt;
        const qsizetype tel = start.indexOf("TEL:");
        if (tel < 0)
            return std::nullopt;
        return number(start.sliced(prefix.size(), tel - prefix.size()));
    }
    case KeyRule::SecondField: {
        // The code must stand alone: "ACD 1234 ...", not "ACD1234".
        if (start.size() < 4 || !isBlank(start[3]))
            return std::nullopt;
        const QList<QByteArray> parts = fields(start);
        return parts.size() >= 2 ? number(parts[1]) : std::nullopt;
    }
    }
    return std::nullopt;
}

std::span<const Parameter> parameters()
{
    return parameterTable;
}

QByteArray ParameterCommand::line() const
{
    QByteArray text(parameter->keyword);
    if (!value.isEmpty())
        text += ' ' + value;
    return text;
}

ParsedParameter parseParameter(QByteArrayView line)
{
    const QByteArrayView start = trimmedStart(line);
    const qsizetype blank = start.indexOf(' ');
    const QByteArrayView keyword = blank < 0 ? start : start.first(blank);
    QByteArrayView value = blank < 0 ? QByteArrayView() : start.sliced(blank + 1);
    for (const Parameter& parameter : parameterTable) {
        if (keyword != parameter.keyword)
            continue;
        if (parameter.rule != ValueRule::Text)
            value = trimmed(value);
        if (!valueFits(parameter.rule, value))
            return { std::nullopt, ParameterError::BadValue };
        return { ParameterCommand { &parameter, value.toByteArray() }, ParameterError::NotAParameter };
    }
    return {};
}

bool isClearCommand(QByteArrayView line)
{
    const QList<QByteArray> parts = fields(line);
    return !parts.isEmpty() && (parts[0] == "KLR" || parts[0] == "CLR");
}

std::optional<ClearCommand> parseClear(QByteArrayView line)
{
    const QList<QByteArray> parts = fields(line);
    if (parts.size() < 2 || parts.size() > 3 || (parts[0] != "KLR" && parts[0] != "CLR"))
        return std::nullopt;
    if (!findRecordKind(parts[1]) && parts[1] != "EVR")
        return std::nullopt;
    ClearCommand clear;
    clear.kind = parts[1];
    if (parts.size() == 3) {
        const std::optional<qint64> key = number(parts[2]);
        if (!key)
            return std::nullopt;
        clear.hasNumber = true;
        clear.key = *key;
        clear.keyText = parts[2];
    }
    return clear;
}

std::optional<QTime> parseTime(QByteArrayView line)
{
    const QList<QByteArray> parts = fields(line);
    if (parts.size() != 3 || parts[0] != "TIM")
        return std::nullopt;
    const std::optional<qint64> hour = number(parts[1]);
    const std::optional<qint64> minute = number(parts[2]);
    if (!hour || !minute || *hour > 23 || *minute > 59)
        return std::nullopt;
    return QTime { int(*hour), int(*minute) };
}

std::optional<QDate> parseDate(QByteArrayView line)
{
    const QList<QByteArray> parts = fields(line);
    if (parts.size() != 5 || parts[0] != "DAT")
        return std::nullopt;
    const std::optional<qint64> month = number(parts[1]);
    const std::optional<qint64> day = number(parts[2]);
    const std::optional<qint64> year = number(parts[3]);
    const std::optional<qint64> weekday = number(parts[4]);
    if (!month || !day || !year || !weekday || *year < 1900 || *year > 9999)
        return std::nullopt;
    const QDate date { int(*year), int(*month), int(*day) };
    // A weekday that disagrees with the date means the sender's calendar is off.
    if (!date.isValid() || date.dayOfWeek() != *weekday)
        return std::nullopt;
    return date;
}

QByteArray eventLine(const QDateTime& when, QByteArrayView what)
{
    return "EVR " + when.toString(QStringLiteral("MM/dd/yyyy HH:mm")).toLatin1() + ' ' + what.toByteArray();
}

bool isEventLine(QByteArrayView line)
{
    return trimmedStart(line).startsWith("EVR ");
}

QList<QByteArray> fields(QByteArrayView line)
{
    QList<QByteArray> parts;
    qsizetype i = 0;
    while (i < line.size()) {
        while (i < line.size() && isBlank(line[i]))
            ++i;
        const qsizetype begin = i;
        while (i < line.size() && !isBlank(line[i]))
            ++i;
        if (i > begin)
            parts.append(line.sliced(begin, i - begin).toByteArray());
    }
    return parts;
}

} // namespace SimFormat
