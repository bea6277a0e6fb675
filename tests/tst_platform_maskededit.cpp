#include "MaskedEdit.h"
#include "TestEnvironment.h"

#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

namespace {

// Rejected: assigned to a box that holds "987", which it keeps.
enum class Entry { Typed, Assigned, Rejected };

// A masked box in a window, after another box that has the focus.
struct BoxInWindow
{
    QWidget window;
    QLineEdit* before = new QLineEdit(&window);
    MaskedEdit* box = new MaskedEdit(&window);

    BoxInWindow(const QString& mask, QChar prompt = QLatin1Char(' '))
    {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(before);
        layout->addWidget(box);
        box->setDigitMask(mask, prompt);
        window.show();
        before->setFocus();
    }
};

void row(const char* name, const char* mask, Entry entry, const QString& input, const char* digits,
    const char* boxText, QChar prompt = QLatin1Char(' '))
{
    QTest::newRow(name) << QString(mask) << prompt << entry << input << QString(digits) << QString(boxText);
}

} // namespace

Q_DECLARE_METATYPE(Entry)

// The two readings of a masked box, filled by clicks and typing and by assignment
// through its mask.
class MaskedEditTest : public QObject
{
    Q_OBJECT

private slots:
    void entry_data()
    {
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QChar>("prompt");
        QTest::addColumn<Entry>("entry");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("digits");
        QTest::addColumn<QString>("boxText");
        row("typed, one digit of three", "###", Entry::Typed, "5", "5", "5  ");
        row("typed, too many digits", "###", Entry::Typed, "12345", "123", "123");
        row("typed, letters refused", "###", Entry::Typed, "1a2", "12", "12 ");
        row("typed, literal skipped", "##:##", Entry::Typed, "0530", "0530", "05:30");
        row("typed, day flags", "# # # #", Entry::Typed, "1011", "1011", "1 0 1 1");
        // "|": a click in the right part of the box that has the focus, which puts the
        // caret no further than the first unfilled position.
        row("typed, empty box clicked", "##:##", Entry::Typed, "|1234", "1234", "12:34");
        row("typed, partly filled box clicked", "##:##", Entry::Typed, "17|45", "1745", "17:45");
        row("typed, full box clicked", "##:##", Entry::Typed, "1700|\b", "170", "17:0 ");
        row("time with colon", "##:##", Entry::Assigned, "12:45", "1245", "12:45");
        row("blank inside", "####", Entry::Assigned, "1 34", "134", "1 34");
        row("time without colon", "##:##", Entry::Assigned, "1245", "1245", "12:45");
        row("time cleared by blanks", "##:##", Entry::Assigned, "     ", "", "  :  ");
        row("day flags packed", "# # # #", Entry::Assigned, "0110", "0110", "0 1 1 0");
        row("prompt unfilled", "#####", Entry::Assigned, "12___", "12", "12___", u'_');
        row("letter", "###", Entry::Rejected, "1A3", "987", "987");
        row("too long", "###", Entry::Rejected, "1234", "987", "987");
        row("non-ASCII digit", "###", Entry::Rejected, QString::fromUtf8("1\u0663"), "987", "987");
    }

    void entry()
    {
        QFETCH(QString, mask);
        QFETCH(QChar, prompt);
        QFETCH(Entry, entry);
        QFETCH(QString, input);
        QFETCH(QString, digits);
        QFETCH(QString, boxText);
        BoxInWindow window(mask, prompt);
        if (entry == Entry::Typed) {
            QVERIFY(QTest::qWaitForWindowActive(&window.window));
            // Focus brought by a click right of the last position: typing still
            // starts at the first.
            clickInside(window.box, 0.95);
            QVERIFY(window.box->hasFocus());
            const QStringList parts = input.split(QLatin1Char('|'));
            QTest::keyClicks(window.box, parts.first());
            for (const QString& part : parts.mid(1)) {
                clickInside(window.box, 0.9);
                QTest::keyClicks(window.box, part);
            }
        } else {
            if (entry == Entry::Rejected)
                QVERIFY(window.box->assign(QStringLiteral("987")));
            QCOMPARE(window.box->assign(input), entry == Entry::Assigned);
        }
        QCOMPARE(window.box->digits(), digits);
        QCOMPARE(window.box->boxText(), boxText);
    }
};

QTEST_MAIN(MaskedEditTest)
#include "tst_platform_maskededit.moc"
