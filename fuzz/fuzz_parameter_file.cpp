// The parameter-file load on arbitrary file bytes, read as "Open Pa&rameter" reads
// them (line by line, one rule per line): no crash, every value has the width its
// box holds, and what it reads survives a save and a second load unchanged.
#include "FuzzCheck.h"
#include "ParameterFile.h"
#include "TextFiles.h"

#include <QMap>

using ParameterFile::Field;

// The widths of the boxes; 0 for the free-text ones.
const QMap<Field, int> Widths { { Field::Crno, 3 }, { Field::medit1, 3 }, { Field::medit2, 2 },
    { Field::medit3, 2 }, { Field::medit4, 1 }, { Field::medit5, 1 }, { Field::rl2, 1 }, { Field::Text3, 4 },
    { Field::Text2, 0 }, { Field::MsgWel, 0 } };

// What the boxes hold after loading bytes into empty boxes: later lines win; an
// empty value (a bare "PHO") leaves the box empty.
static ParameterFile::Values load(const QByteArray& bytes, bool checkValues)
{
    ParameterFile::Values boxes;
    for (const QString& line : linesOf(bytes)) {
        const auto entry = ParameterFile::readLine(line);
        if (!entry)
            continue;
        if (checkValues) {
            const int width = Widths.value(entry->field, -1);
            require(width >= 0, "unknown field");
            require(width == 0 || entry->value.size() == width, "fixed-width value of the wrong width");
            require(!entry->value.contains(QLatin1Char('\r')) && !entry->value.contains(QLatin1Char('\n')),
                "value holds a line end");
            require(!entry->value.endsWith(QLatin1Char(' ')), "value keeps a trailing blank");
        }
        if (entry->value.isEmpty())
            boxes.remove(entry->field);
        else
            boxes.insert(entry->field, entry->value);
    }
    return boxes;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const ParameterFile::Values boxes = load(bytesOf(data, size), true);
    const QByteArray saved = TextFiles::toFileBytes(ParameterFile::write(boxes));
    require(saved.endsWith("\r\n"), "saved file does not end with CR LF");
    require(saved.count("\r\n") == boxes.size() + 1, "one line per non-empty box plus the last");
    require(load(saved, false) == boxes, "save and load again changed the boxes");
    return 0;
}
