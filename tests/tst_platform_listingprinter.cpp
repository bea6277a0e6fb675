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
#include <QTest>

namespace {

struct Word
{
    double x, y;
    QString text;
};

// The words of each page, in points from the page corner.
QList<QList<Word>> pagesOf(const QString& pdf)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), { QStringLiteral("-bbox"), pdf, QStringLiteral("-") });
    process.waitForFinished(30000);
    static const QRegularExpression tag(
        QStringLiteral("<page |<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\"[^>]*>([^<]*)</word>"));
    QList<QList<Word>> pages;
    for (auto match = tag.globalMatch(QString::fromUtf8(process.readAllStandardOutput())); match.hasNext();) {
        const auto found = match.next();
        if (!found.hasCaptured(1))
            pages.emplaceBack();
        else if (!pages.isEmpty())
            pages.last().append(
                { found.captured(1).toDouble(), found.captured(2).toDouble(), found.captured(3) });
    }
    return pages;
}

} // namespace

class ListingPrinterTest : public QObject
{
    Q_OBJECT

private:
    TestEnvironment m_environment;

private slots:
    // Cancel and a printer that cannot start its job are quiet and keep the text;
    // then each of two copies of a file longer than a page prints heading and date on
    // its first page only, then every line in order.
    void listing()
    {
        const int copies = 2;
        const QString header
            = "SEND: FILE CONTENT DATE:" + QLocale().toString(QDate::currentDate(), QLocale::ShortFormat);
        QString content;
        QString listed = header;
        for (int n = 1; n <= 150; ++n) {
            content += QStringLiteral("TNTDIR:%1TEL:555 NAME:LINE%1\r\n").arg(n);
            listed += QStringLiteral(" TNTDIR:%1TEL:555 NAME:LINE%1").arg(n);
        }
        ScriptedDialogs dialogs;
        EditorWindow editor(EditorKinds::of(Editors::Kind::Tenant), dialogs);
        editor.show();
        editor.setContent(content);
        const QString unwritable = m_environment.filePath(QStringLiteral("no/such/folder/out.pdf"));
        const QString pdf = m_environment.filePath(QStringLiteral("listing.pdf"));
        dialogs.expectPrint(std::nullopt);
        dialogs.expectPrint(unwritable);
        dialogs.expectPrint(pdf, copies);
        for (int press = 0; press < 3; ++press)
            QTest::mouseClick(editor.findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
        QVERIFY2(dialogs.done(), qPrintable(dialogs.report()));
        QVERIFY(!QFile::exists(unwritable));
        QCOMPARE(editor.content(), content);

        const QList<QList<Word>> pages = pagesOf(pdf);
        QVERIFY2(
            pages.size() > copies && pages.size() % copies == 0, qPrintable(QString::number(pages.size())));
        QStringList words;
        for (const QList<Word>& page : pages) {
            for (const Word& word : page)
                words << word.text;
        }
        QCOMPARE(words.join(' '), listed + ' ' + listed);
        // The second copy starts on a page of its own.
        QCOMPARE(pages.at(pages.size() / copies).at(0).text, QStringLiteral("SEND:"));

        // 20 twips to the point, from the printable area: the date at 6990 twips, the
        // body from 600 twips down, the heading 2440 twips left of the middle less half
        // the width of "page".
        const QRectF area = QPrinter(QPrinter::HighResolution).pageLayout().paintRectPoints();
        const Word& heading = pages.at(0).at(0);
        const Word& date = pages.at(0).at(3);
        const Word& body = pages.at(0).at(header.count(' ') + 1);
        QVERIFY2(qAbs(date.x - (area.left() + 349.5)) < 1.5, qPrintable(QString::number(date.x)));
        const double middle = area.left() + area.width() / 2 - 122;
        QVERIFY2(heading.x < middle && heading.x > middle - 30, qPrintable(QString::number(heading.x)));
        QVERIFY(heading.y < date.y && date.y < body.y);
        QVERIFY2(body.y >= area.top() + 29 && body.y < area.top() + 50, qPrintable(QString::number(body.y)));
    }
};

QTEST_MAIN(ListingPrinterTest)
#include "tst_platform_listingprinter.moc"
