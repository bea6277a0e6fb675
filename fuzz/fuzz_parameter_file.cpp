// The parameter-file load on arbitrary file bytes, read as "Open Pa&rameter" reads
// them (line by line, one rule per line): no crash, every value has the width its
// box holds, and what it reads survives a save and a second load unchanged.
#include "LineReader.h"
#include "ParameterFile.h"
#include "TextFiles.h"

#include <QBuffer>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

using ParameterFile::Field;

void require(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "parameter file invariant broken: %s\n", what);
        std::abort();
    }
}

// The widths of the boxes; 0 for the free-text ones.
int widthOf(Field field)
{
    switch (field) {
    case Field::Crno:
    case Field::medit1:
        return 3;
    case Field::medit2:
    case Field::medit3:
        return 2;
    case Field::medit4:
    case Field::medit5:
    case Field::rl2:
        return 1;
    case Field::Text3:
        return 4;
    case Field::Text2:
    case Field::MsgWel:
        return 0;
    }
    return -1;
}

// What the boxes hold after loading bytes into empty boxes: later lines win; an
// empty value (a bare "PHO") leaves the box empty.
ParameterFile::Values load(QByteArray bytes, bool checkValues)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    LineReader reader(buffer);
    ParameterFile::Values boxes;
    QString line;
    while (reader.next(line)) {
        const auto entry = ParameterFile::readLine(line);
        if (!entry)
            continue;
        if (checkValues) {
            const int width = widthOf(entry->field);
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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const ParameterFile::Values boxes
        = load(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)), true);
    const QByteArray saved = TextFiles::toFileBytes(ParameterFile::write(boxes));
    require(saved.endsWith("\r\n"), "saved file does not end with CR LF");
    require(saved.count("\r\n") == boxes.size() + 1, "one line per non-empty box plus the last");
    require(load(saved, false) == boxes, "save and load again changed the boxes");
    return 0;
}
