// The editors' file loader on arbitrary bytes: no crash, no line starts with a
// blank, every line ends with CR LF, and a save followed by a load gives the text
// back with exactly one more empty line.
#include "DatabaseFile.h"

#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void require(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "editor file invariant broken: %s\n", what);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString content = DatabaseFile::contentFromFile(bytes);

    require(content.isEmpty() || content.endsWith(QStringLiteral("\r\n")), "content does not end with CR LF");
    const QStringList lines = content.split(QStringLiteral("\r\n"));
    for (const QString& line : lines) {
        require(!line.startsWith(QLatin1Char(' ')), "a line keeps its leading blank");
        // CR LF, a lone CR and a lone LF all end a line.
        require(!line.contains(QLatin1Char('\r')), "a carriage return inside a line");
        require(!line.contains(QLatin1Char('\n')), "a line feed inside a line");
    }

    const QByteArray saved = DatabaseFile::fileFromContent(content);
    require(saved.endsWith("\r\n"), "a save does not end with CR LF");
    require(DatabaseFile::contentFromFile(saved) == content + QStringLiteral("\r\n"),
        "a save and a load changed more than one empty line");
    return 0;
}
