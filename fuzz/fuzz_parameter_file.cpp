// The parameter-file reader on arbitrary file bytes: no crash, every value has the
// width its box holds, and what it reads survives a save and a second read unchanged.
#include "ParameterFile.h"
#include "TextFiles.h"

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

// The fixed widths the boxes take; 0 for the free-text ones.
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

// What the boxes hold after a load into empty boxes: later lines win. An empty
// value (a bare "PHO") would leave the box empty, so it is not kept.
ParameterFile::Values boxesAfter(const QList<ParameterFile::Entry>& entries)
{
    ParameterFile::Values boxes;
    for (const auto& entry : entries) {
        if (entry.value.isEmpty())
            boxes.remove(entry.field);
        else
            boxes.insert(entry.field, entry.value);
    }
    return boxes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text
        = TextFiles::fromFileBytes(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    const QList<ParameterFile::Entry> entries = ParameterFile::read(text);

    for (const auto& entry : entries) {
        const int width = widthOf(entry.field);
        require(width >= 0, "unknown field");
        if (width > 0)
            require(entry.value.size() == width, "fixed-width value of the wrong width");
        require(!entry.value.contains(QLatin1Char('\r')) && !entry.value.contains(QLatin1Char('\n')),
            "value holds a line end");
        require(
            entry.value.isEmpty() || !entry.value.endsWith(QLatin1Char(' ')), "value keeps a trailing blank");
    }

    const ParameterFile::Values boxes = boxesAfter(entries);
    const QString saved = ParameterFile::write(boxes);
    require(saved.endsWith(QStringLiteral("\r\n")), "saved text does not end with CR LF");
    require(
        saved.count(QStringLiteral("\r\n")) == boxes.size() + 1, "one line per non-empty box plus the last");

    const QList<ParameterFile::Entry> reread = ParameterFile::read(saved);
    require(reread.size() <= 10, "more than ten values from a saved file");
    require(boxesAfter(reread) == boxes, "save and load again changed the boxes");
    return 0;
}
