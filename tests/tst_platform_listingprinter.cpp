// The printed listing, read back from PDF output with pdftotext.
#include "EditorKinds.h"
#include "EditorWindow.h"
#include "ListingPrinter.h"
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

std::unique_ptr<QPrinter> pdfPrinter(const QString& path)
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(path);
    return printer;
}

} // namespace

class ListingPrinterTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void copiesFromTheEditor_data();
    void copiesFromTheEditor();
    void longBodyContinuesOnFurtherPages();
    void placesOnThePage();
    void cancelAndFailureAreQuiet();

private:
    TestEnvironment m_environment;
};

void ListingPrinterTest::initTestCase()
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed");
}

void ListingPrinterTest::copiesFromTheEditor_data()
{
    QTest::addColumn<int>("copies");
    QTest::newRow("one copy") << 1;
    QTest::newRow("three copies") << 3;
}

void ListingPrinterTest::copiesFromTheEditor()
{
    QFETCH(int, copies);
    const QString pdf = m_environment.filePath(QStringLiteral("copies%1.pdf").arg(copies));
    ScriptedDialogs dialogs;
    EditorWindow editor(EditorKinds::of(Editors::Kind::Holiday), dialogs);
    editor.setContent(QStringLiteral("HLD 03 12/05\r\nHLD 16 01/01\r\n"));
    dialogs.expectPrint(pdf, copies);
    editor.findChild<QPushButton*>(QStringLiteral("Command2"))->click();
    QVERIFY2(dialogs.done(), qPrintable(dialogs.report()));

    // One job: one file, a page per copy, each with heading, date and body in that order.
    const QStringList pages = pagesOf(pdf);
    QCOMPARE(pages.size(), copies);
    for (const QString& page : pages) {
        const qsizetype heading = page.indexOf(Heading);
        const qsizetype date = page.indexOf(dateLine());
        const qsizetype first = page.indexOf(QStringLiteral("HLD 03 12/05"));
        const qsizetype second = page.indexOf(QStringLiteral("HLD 16 01/01"));
        QVERIFY2(heading >= 0 && heading < date && date < first && first < second, qPrintable(page));
    }
}

void ListingPrinterTest::longBodyContinuesOnFurtherPages()
{
    QString body;
    for (int n = 1; n <= 150; ++n)
        body += QStringLiteral("TNTDIR:%1TEL:555 NAME:LINE%1\r\n").arg(n);
    const QString pdf = m_environment.filePath(QStringLiteral("long.pdf"));
    auto printer = pdfPrinter(pdf);
    QVERIFY(ListingPrinter::print(*printer, { QStringLiteral("RECEIVE: FILE CONTENT"), body }, 2));

    const QStringList pages = pagesOf(pdf);
    QVERIFY2(pages.size() > 2 && pages.size() % 2 == 0, qPrintable(QString::number(pages.size())));
    const qsizetype perCopy = pages.size() / 2;
    for (int copy = 0; copy < 2; ++copy) {
        // Only the first page of a copy carries the heading; the lines run on in order.
        QString text;
        for (qsizetype page = 0; page < perCopy; ++page) {
            const QString& current = pages.at(copy * perCopy + page);
            QCOMPARE(current.contains(QStringLiteral("RECEIVE: FILE CONTENT")), page == 0);
            text += current;
        }
        qsizetype at = 0;
        for (int n = 1; n <= 150; ++n) {
            at = text.indexOf(QStringLiteral("NAME:LINE%1\n").arg(n), at);
            QVERIFY2(at >= 0, qPrintable(QStringLiteral("copy %1 line %2").arg(copy + 1).arg(n)));
        }
    }
}

void ListingPrinterTest::placesOnThePage()
{
    const QString pdf = m_environment.filePath(QStringLiteral("places.pdf"));
    auto printer = pdfPrinter(pdf);
    const QRectF area = printer->pageLayout().paintRectPoints();
    QVERIFY(ListingPrinter::print(*printer, { Heading, QStringLiteral("BODYLINE\r\n") }, 1));

    const auto heading = wordAt(pdf, QStringLiteral("SEND:"));
    const auto date = wordAt(pdf, QStringLiteral("DATE:"));
    const auto body = wordAt(pdf, QStringLiteral("BODYLINE"));
    QVERIFY(heading && date && body);
    // 20 twips to the point: the date at 6990 twips, the body from 600 twips down,
    // the heading 2440 twips left of the middle less half the width of "page".
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
    editor.setContent(QStringLiteral("TNTDIR:1TEL: NAME:\r\n"));
    dialogs.expectPrint(std::nullopt);
    editor.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    // A printer that cannot start its job: no message, the text stays.
    const QString unwritable = m_environment.filePath(QStringLiteral("no/such/folder/out.pdf"));
    dialogs.expectPrint(unwritable);
    editor.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    QVERIFY2(dialogs.done(), qPrintable(dialogs.report()));
    QVERIFY(!QFile::exists(unwritable));
    QCOMPARE(editor.content(), QStringLiteral("TNTDIR:1TEL: NAME:\r\n"));

    auto printer = pdfPrinter(unwritable);
    QVERIFY(!ListingPrinter::print(*printer, { Heading, QStringLiteral("X") }, 1));
}

QTEST_MAIN(ListingPrinterTest)
#include "tst_platform_listingprinter.moc"
