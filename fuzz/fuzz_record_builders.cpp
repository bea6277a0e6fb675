// The record builders on arbitrary box readings: no crash, each line begins with
// its keyword and holds no line end, and the two-digit rule holds.
#include "FuzzCheck.h"
#include "RecordFormats.h"
#include "TextFiles.h"

// Box readings have no line ends: the boxes are single-line.
static void requireLine(const QString& line, const char* keyword, const char* what)
{
    require(line.startsWith(QLatin1String(keyword)), what);
    require(!line.contains(QLatin1Char('\r')) && !line.contains(QLatin1Char('\n')), what);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Six readings separated by NUL bytes; missing ones are empty.
    QString text = TextFiles::fromFileBytes(bytesOf(data, size));
    text.remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
    QStringList box = text.split(QChar(0));
    while (box.size() < 6)
        box.append(QString());

    requireLine(RecordFormats::tenant(box[0], box[1], box[2]), "TNTDIR:", "tenant line");
    requireLine(RecordFormats::accessCode(box[0], box[3], box[2], box[4], box[1], box[5]), "ACD ",
        "access-code line");
    if (RecordFormats::accessCodeProblem(box[0], box[1], box[2]) == RecordFormats::AccessCodeProblem::None)
        require(box[0].size() == 4, "an access code passed its tests without four digits");
    requireLine(
        RecordFormats::autoSchedule(box[0], box[1], box[2], box[3], box[4]), "ATS ", "auto-schedule line");
    requireLine(RecordFormats::holiday(box[0], box[1], box[2]), "HLD ", "holiday line");
    requireLine(RecordFormats::timeZone(box[0], box[1], box[2], box[3]), "TMZ ", "time-zone line");
    const QString two = RecordFormats::twoDigits(box[0]);
    require(box[0].size() == 1 ? two == QLatin1Char('0') + box[0] : two == box[0], "two-digit rule");
    return 0;
}
