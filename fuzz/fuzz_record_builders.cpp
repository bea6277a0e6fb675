// The record builders on arbitrary box readings: no crash, each line begins with
// its keyword and holds no line end, and the two-digit rule holds.
#include "RecordFormats.h"
#include "TextFiles.h"

#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void require(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "record builder invariant broken: %s\n", what);
        std::abort();
    }
}

// Box readings have no line ends: the boxes are single-line.
bool oneLine(const QString& text)
{
    return !text.contains(QLatin1Char('\r')) && !text.contains(QLatin1Char('\n'));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Six readings separated by NUL bytes; missing ones are empty.
    QString text = TextFiles::fromFileBytes(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    text.remove(QLatin1Char('\r'));
    text.remove(QLatin1Char('\n'));
    QStringList box = text.split(QChar(0));
    while (box.size() < 6)
        box.append(QString());

    const QString tenant = RecordFormats::tenant(box[0], box[1], box[2]);
    require(tenant.startsWith(QStringLiteral("TNTDIR:")) && oneLine(tenant), "tenant line");

    const auto problem = RecordFormats::accessCodeProblem(box[0], box[1], box[2]);
    const QString code = RecordFormats::accessCode(box[0], box[3], box[2], box[4], box[1], box[5]);
    require(code.startsWith(QStringLiteral("ACD ")) && oneLine(code), "access-code line");
    if (problem == RecordFormats::AccessCodeProblem::None)
        require(box[0].size() == 4, "an access code passed its tests without four digits");

    const QString schedule = RecordFormats::autoSchedule(box[0], box[1], box[2], box[3], box[4]);
    require(schedule.startsWith(QStringLiteral("ATS ")) && oneLine(schedule), "auto-schedule line");

    const QString holiday = RecordFormats::holiday(box[0], box[1], box[2]);
    require(holiday.startsWith(QStringLiteral("HLD ")) && oneLine(holiday), "holiday line");

    const QString zone = RecordFormats::timeZone(box[0], box[1], box[2], box[3]);
    require(zone.startsWith(QStringLiteral("TMZ ")) && oneLine(zone), "time-zone line");

    const QString two = RecordFormats::twoDigits(box[0]);
    require(box[0].size() == 1 ? two == QLatin1Char('0') + box[0] : two == box[0], "two-digit rule");
    return 0;
}
