// The printed listing of an editor, read back from PDF output with pdftotext.
#include "EditorKinds.h"
#include "EditorWindow.h"
#include "ScriptedDialogs.h"
#include "TestEnvironment.h"

#include <QFile>
#include <QLocale>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

namespace {

const QString Heading = QStringLiteral("SEND: FILE CONTENT");

QString dateLine(const QDate& date = QDate::currentDate())
{
    return QStringLiteral("DATE:") + QLocale().toString(date, QLocale::ShortFormat);
}

// The text of each page, in order.
QStringList pagesOf(const QString& pdf)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), { QStringLiteral("-layout"), pdf, QStringLiteral("-") });
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return {};
    QStringList pages = QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.constLast().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

struct Word
{
    double x;
    double y;
};

// The first word on the first page that begins with prefix, in points from the page corner.
std::optional<Word> wordAt(const QString& pdf, const QString& prefix)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"),
        { QStringLiteral("-bbox"), QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
            QStringLiteral("1"), pdf, QStringLiteral("-") });
    if (!process.waitForFinished(30000))
        return std::nullopt;
    static const QRegularExpression word(
        QStringLiteral("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\"[^>]*>([^<]*)</word>"));
    const QString xml = QString::fromUtf8(process.readAllStandardOutput());
    for (auto match = word.globalMatch(xml); match.hasNext();) {
        const auto found = match.next();
        if (found.captured(3).startsWith(prefix))
            return Word { found.captured(1).toDouble(), found.captured(2).toDouble() };
    }
    return std::nullopt;
}

} // namespace

class ListingPrinterTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void listing_data();
    void listing();
    void cancelAndFailureAreQuiet();

private:
    TestEnvironment m_environment;
};

void ListingPrinterTest::initTestCase()
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed");
}

void ListingPrinterTest::listing_data()
{
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("copies");
    QTest::newRow("one page") << 2 << 1;
    QTest::newRow("two copies of a long file") << 150 << 2;
}

void ListingPrinterTest::listing()
{
    QFETCH(int, lines);
    QFETCH(int, copies);
    QString content;
    for (int n = 1; n <= lines; ++n)
        content += QStringLiteral("TNTDIR:%1TEL:555 NAME:LINE%1\r\n").arg(n);
    const QString pdf = m_environment.filePath(QStringLiteral("listing%1.pdf").arg(lines));
    ScriptedDialogs dialogs;
    EditorWindow editor(EditorKinds::of(Editors::Kind::Tenant), dialogs);
    editor.show();
    editor.setContent(content);
    dialogs.expectPrint(pdf, copies);
    QTest::mouseClick(editor.findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
    QVERIFY2(dialogs.done(), qPrintable(dialogs.report()));

    // Each copy: heading and date on its first page only, then every line in order.
    const QStringList pages = pagesOf(pdf);
    QVERIFY2(pages.size() >= copies && pages.size() % copies == 0, qPrintable(QString::number(pages.size())));
    QCOMPARE(pages.size() > copies, lines > 100);
    const qsizetype perCopy = pages.size() / copies;
    for (int copy = 0; copy < copies; ++copy) {
        QString text;
        for (qsizetype page = 0; page < perCopy; ++page) {
            const QString& current = pages.at(copy * perCopy + page);
            QCOMPARE(current.contains(Heading), page == 0);
            text += current;
        }
        qsizetype at = text.indexOf(Heading);
        QVERIFY2(at >= 0 && (at = text.indexOf(dateLine(), at)) > 0, qPrintable(text.left(300)));
        for (int n = 1; n <= lines; ++n) {
            at = text.indexOf(QStringLiteral("NAME:LINE%1\n").arg(n), at);
            QVERIFY2(at >= 0, qPrintable(QStringLiteral("copy %1 line %2").arg(copy + 1).arg(n)));
        }
    }
    if (copies > 1)
        return;

    // 20 twips to the point, from the printable area: the date at 6990 twips, the body
    // from 600 twips down, the heading 2440 twips left of the middle less half the
    // width of "page".
    QPrinter printer(QPrinter::HighResolution);
    const QRectF area = printer.pageLayout().paintRectPoints();
    const auto heading = wordAt(pdf, QStringLiteral("SEND:"));
    const auto date = wordAt(pdf, QStringLiteral("DATE:"));
    const auto body = wordAt(pdf, QStringLiteral("TNTDIR:1TEL"));
    QVERIFY(heading && date && body);
    QVERIFY2(qAbs(date->x - (area.left() + 349.5)) < 1.5, qPrintable(QString::number(date->x)));
    const double middle = area.left() + area.width() / 2 - 122;
    QVERIFY2(heading->x < middle && heading->x > middle - 30, qPrintable(QString::number(heading->x)));
    QVERIFY(heading->y < date->y && date->y < body->y);
    QVERIFY2(body->y >= area.top() + 30 - 1 && body->y < area.top() + 30 + 20,
        qPrintable(QString::number(body->y)));
}

void ListingPrinterTest::cancelAndFailureAreQuiet()
{
    ScriptedDialogs dialogs;
    EditorWindow editor(EditorKinds::of(Editors::Kind::Tenant), dialogs);
    editor.show();
    editor.setContent(QStringLiteral("TNTDIR:1TEL: NAME:\r\n"));
    auto* print = editor.findChild<QPushButton*>(QStringLiteral("Command1"));
    dialogs.expectPrint(std::nullopt);
    QTest::mouseClick(print, Qt::LeftButton);
    // A printer that cannot start its job: no message, the text stays.
    const QString unwritable = m_environment.filePath(QStringLiteral("no/such/folder/out.pdf"));
    dialogs.expectPrint(unwritable);
    QTest::mouseClick(print, Qt::LeftButton);
    QVERIFY2(dialogs.done(), qPrintable(dialogs.report()));
    QVERIFY(!QFile::exists(unwritable));
    QCOMPARE(editor.content(), QStringLiteral("TNTDIR:1TEL: NAME:\r\n"));
}

QTEST_MAIN(ListingPrinterTest)
#include "tst_platform_listingprinter.moc"
