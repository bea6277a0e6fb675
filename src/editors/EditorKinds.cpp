#include "EditorKinds.h"

#include "RecordFormats.h"

#include <array>

namespace {

EditorRecord tenantRecord(const QList<EditorReading>& r)
{
    return { RecordFormats::tenant(r[0].digits, r[1].text, r[2].text), {} };
}

EditorRecord accessCodeRecord(const QList<EditorReading>& r)
{
    enum { Code, Card, Directory, Periods, Door, Name };
    using Problem = RecordFormats::AccessCodeProblem;
    switch (RecordFormats::accessCodeProblem(r[Code].digits, r[Door].digits, r[Periods].digits)) {
    case Problem::CodeNotFourDigits:
        return { {}, EditorRefusal { QStringLiteral("Access Code must be 4 digits"), {}, Code } };
    case Problem::NoDoor:
        return { {}, EditorRefusal { QStringLiteral("Please input the door number"), {}, Door } };
    case Problem::NoPeriod:
        return { {},
            EditorRefusal {
                QStringLiteral("Please input S1,S2,S3"), QStringLiteral("S1,S2,S3 Error"), Periods } };
    case Problem::None:
        break;
    }
    return { RecordFormats::accessCode(r[Code].digits, r[Card].digits, r[Periods].digits, r[Periods].text,
                 r[Door].digits, r[Name].text),
        {} };
}

EditorRecord autoScheduleRecord(const QList<EditorReading>& r)
{
    return { RecordFormats::autoSchedule(r[0].digits, r[1].digits, r[2].text, r[3].text, r[4].text), {} };
}

EditorRecord holidayRecord(const QList<EditorReading>& r)
{
    return { RecordFormats::holiday(r[0].digits, r[1].digits, r[2].digits), {} };
}

EditorRecord timeZoneRecord(const QList<EditorReading>& r)
{
    return { RecordFormats::timeZone(r[0].digits, r[1].text, r[2].text, r[3].text), {} };
}

const std::array<EditorKind, 5> kinds { {
    { Editors::Kind::Tenant, "tntform", "ent", "tntsave", "tntsaveas", "Command1", "qui",
        "TNT File (*.TNT)|*.TNT", "Save As", true,
        {
            { "dirtenant", "Tenant Directory", "####" },
            { "teltenant", "Tenant Tel", "###########" },
            { "Text2", "Tenant Name", "", 12 },
        },
        tenantRecord },
    { Editors::Kind::AccessCode, "acdform", "entacd", "acdsave", "acdsaveas", "Command1", "quiacd",
        "ACD File (*.ACD)|*.ACD", "Save As", false,
        {
            { "Macd1", "Access Code", "####" },
            { "Macd6", "Card No.", "#####" },
            { "Macd2", "Directory", "####", 0, false, true },
            { "Macd3", "Time Period(S1,S2,S3)", "# # #" },
            { "Macd4", "Door", "#" },
            { "Macd5", "Name", "", 12 },
        },
        accessCodeRecord },
    { Editors::Kind::AutoSchedule, "atsform", "entats", "atssave", "atssaveas", "Command1", "quiats",
        "ATS File (*.ATS)|*.ATS", "Save As", false,
        {
            { "Mats1", "Auto Schedule No", "#" },
            { "Mats2", "Door ( 1 or 2 )", "#" },
            { "Mats3", "Begin    Time", "##:##" },
            { "Mats4", "End       Time", "##:##" },
            { "Mats5", "Day Of Week", "# # # # # # # #" },
        },
        autoScheduleRecord },
    { Editors::Kind::Holiday, "hldform", "enthld", "Command1", "hldsaveas", "Command2", "quihld",
        "HLD File (*.HLD)|*.HLD", "Save As", false,
        {
            { "mhld1", " Holiday No(1-16)", "##" },
            { "mhld2", " Date   ( mm/dd )", "##" },
            { "day", "/", "##", 0, true, false, "Day" },
        },
        holidayRecord },
    { Editors::Kind::TimeZone, "tmzform", "enttmz", "tmzsave", "tmzsaveas", "Command1", "quitmz",
        "TMZ File (*.TMZ)|*.TMZ", "Save AS", false,
        {
            { "mtmz1", "Time Zone No", "#" },
            { "mtmz2", "Begin Time", "##:##" },
            { "mtmz3", "End    Time", "##:##" },
            { "mtmz4", "Dayofweek", "# # # # # # # #" },
        },
        timeZoneRecord },
} };

} // namespace

namespace EditorKinds {

const EditorKind& of(Editors::Kind kind)
{
    for (const EditorKind& entry : kinds) {
        if (entry.kind == kind)
            return entry;
    }
    return kinds.front();
}

} // namespace EditorKinds
