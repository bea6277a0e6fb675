#include "LineText.h"
#include "MaskedEdit.h"
#include "PlainEdit.h"
#include "TestEnvironment.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QRegularExpressionValidator>
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

// A box of each kind after another box that has the focus: masked, plain (the
// platform's rules installed), or plain with a rule of its own ("[0-9]{0,4}").
struct AnyBoxInWindow
{
    QWidget window;
    QLineEdit* before = new QLineEdit(&window);
    QLineEdit* box;

    explicit AnyBoxInWindow(const QString& kind)
    {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(before);
        if (kind.startsWith(QLatin1Char('#'))) {
            auto* masked = new MaskedEdit(&window);
            masked->setDigitMask(kind);
            // As narrow as the windows make them: a few characters wider than the mask.
            masked->setMaximumWidth(
                masked->fontMetrics().horizontalAdvance(QString(kind.size() + 2, u'0')) + 12);
            box = masked;
        } else {
            box = new QLineEdit(&window);
            if (!kind.isEmpty())
                box->setValidator(new QRegularExpressionValidator(QRegularExpression(kind), box));
            PlainEdit::install(box);
            LineText::install(box);
        }
        layout->addWidget(box);
        window.show();
        before->setFocus();
    }

    QString shown() const
    {
        auto* masked = qobject_cast<MaskedEdit*>(box);
        return masked ? masked->boxText() : box->text();
    }

    // "@25": a click at 25 % of the box's width; "^": a click into the box before;
    // "Tab": Tab from the box before; "paste:..." pasted with Ctrl+V; else typed.
    void run(const QStringList& steps)
    {
        for (const QString& step : steps) {
            if (step.startsWith(QLatin1Char('@'))) {
                clickInside(box, step.mid(1).toDouble() / 100);
            } else if (step == QLatin1String("^")) {
                clickInside(before, 0.5);
            } else if (step == QLatin1String("Tab")) {
                QTest::keyClick(before, Qt::Key_Tab);
            } else if (step.startsWith(QLatin1String("paste:"))) {
                QGuiApplication::clipboard()->setText(step.mid(6));
                QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
            } else {
                for (const QChar c : step) {
                    // A key of another keyboard layout: only its text tells what it types.
                    if (c.unicode() < 128)
                        QTest::keyClicks(box, QString(c));
                    else
                        QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(c), Qt::NoModifier);
                }
            }
        }
    }
};

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

    // Where typing lands: a click puts the caret where it lands but never past what is
    // typed; focus by Tab starts at the first position, nothing selected. Control
    // characters, characters outside Latin-1 and other scripts' digits are refused as
    // they are typed or pasted; a box's own rule stays.
    void caretAndRefusals_data()
    {
        QTest::addColumn<QString>("kind"); // a mask, "" for a plain box, or the plain box's own rule
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("shown");
        const auto row
            = [](const char* name, const char* kind, const QStringList& steps, const QString& shown) {
                  QTest::newRow(name) << QString(kind) << steps << shown;
              };
        row("focused empty box clicked at 12 %", "####", { "@50", "@12", "1234" }, "1234");
        row("focused empty box clicked at 18 %", "####", { "@50", "@18", "1234" }, "1234");
        row("focused empty box clicked at 25 %", "####", { "@50", "@25", "1234" }, "1234");
        row("time: 12, away, back right", "##:##", { "@50", "12", "^", "@90", "34" }, "12:34");
        row("masked: Tab starts at the first position", "####", { "@50", "12", "^", "Tab", "9" }, "92  ");
        row("plain: 12, away, back right", "", { "@50", "12", "^", "@90", "34" }, "1234");
        row("plain: Tab starts at the start", "", { "@50", "12", "^", "Tab", "9" }, "912");
        row("Arabic-Indic digits typed", "###", { "@50", u"\u0661\u0662"_qs }, "   ");
        row("Devanagari digit typed", "###", { "@50", u"4\u0967"_qs }, "4  ");
        row("full-width digits pasted", "###", { "@50", u"paste:\uff11\uff12"_qs }, "   ");
        row("line break pasted", "", { "@50", "Hi", "paste:\nKLR ATS" }, "Hi");
        row("CR pasted", "", { "@50", "paste:A\rB" }, "");
        row("NUL pasted", "", { "@50", QStringLiteral("paste:A") + QChar(0) }, "");
        row("Latin-1 pasted", "", { "@50", u"paste:Caf\u00e9"_qs }, u"Caf\u00e9"_qs);
        row("Cyrillic typed", "", { "@50", u"Jo\u0416s"_qs }, "Jos");
        row("own rule kept", "[0-9]{0,4}", { "@50", "12a345" }, "1234");
    }

    void caretAndRefusals()
    {
        QFETCH(QString, kind);
        QFETCH(QStringList, steps);
        QFETCH(QString, shown);
        AnyBoxInWindow window(kind);
        QVERIFY(QTest::qWaitForWindowActive(&window.window));
        window.run(steps);
        QCOMPARE(window.shown(), shown);
    }
};

QTEST_MAIN(MaskedEditTest)
#include "tst_platform_maskededit.moc"
