// The editors' file loader on arbitrary bytes: no crash, no line starts with a
// blank, every line ends with CR LF, and a save followed by a load gives the text
// back with exactly one more empty line.
#include "DatabaseFile.h"
#include "FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString content = DatabaseFile::contentFromFile(bytesOf(data, size));
    require(content.isEmpty() || content.endsWith(QStringLiteral("\r\n")), "content does not end with CR LF");
    for (const QString& line : content.split(QStringLiteral("\r\n"))) {
        require(!line.startsWith(QLatin1Char(' ')), "a line keeps its leading blank");
        // CR LF, a lone CR and a lone LF all end a line.
        require(!line.contains(QLatin1Char('\r')) && !line.contains(QLatin1Char('\n')),
            "a line end inside a line");
    }
    const QByteArray saved = DatabaseFile::fileFromContent(content);
    require(saved.endsWith("\r\n"), "a save does not end with CR LF");
    require(DatabaseFile::contentFromFile(saved) == content + QStringLiteral("\r\n"),
        "a save and a load changed more than one empty line");
    return 0;
}
