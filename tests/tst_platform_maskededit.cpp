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

    // A masked box's text and, after "|", its digits.
    QString shown() const
    {
        auto* masked = qobject_cast<MaskedEdit*>(box);
        return masked ? masked->boxText() + '|' + masked->digits() : box->text();
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

// The two readings of a masked box, filled by clicks and typing and by assignment
// through its mask.
class MaskedEditTest : public QObject
{
    Q_OBJECT

private slots:
    // Assigned to a box that holds "987": a refused text leaves it so.
    void assign_data()
    {
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QChar>("prompt");
        QTest::addColumn<QString>("input");
        QTest::addColumn<bool>("taken");
        QTest::addColumn<QString>("digits");
        QTest::addColumn<QString>("boxText");
        const auto row = [](const char* name, const char* mask, const QString& input, bool taken,
                             const char* digits, const char* boxText, QChar prompt = u' ') {
            QTest::newRow(name) << QString(mask) << prompt << input << taken << QString(digits)
                                << QString(boxText);
        };
        row("time with colon", "##:##", "12:45", true, "1245", "12:45");
        row("blank inside", "####", "1 34", true, "134", "1 34");
        row("time without colon", "##:##", "1245", true, "1245", "12:45");
        row("time cleared by blanks", "##:##", "     ", true, "", "  :  ");
        row("day flags packed", "# # # #", "0110", true, "0110", "0 1 1 0");
        row("prompt unfilled", "#####", "12___", true, "12", "12___", u'_');
        row("letter", "###", "1A3", false, "987", "987");
        row("too long", "###", "1234", false, "987", "987");
        row("non-ASCII digit", "###", QString::fromUtf8("1\u0663"), false, "987", "987");
    }

    void assign()
    {
        QFETCH(QString, mask);
        QFETCH(QChar, prompt);
        QFETCH(QString, input);
        QFETCH(bool, taken);
        QFETCH(QString, digits);
        QFETCH(QString, boxText);
        MaskedEdit box;
        box.setDigitMask(mask, prompt);
        QVERIFY(box.assign(QStringLiteral("987")));
        QCOMPARE(box.assign(input), taken);
        QCOMPARE(box.digits(), digits);
        QCOMPARE(box.boxText(), boxText);
    }

    // Where typing lands: a click puts the caret where it lands but never past what is
    // typed; focus by Tab starts at the first position, nothing selected. Control
    // characters, characters outside Latin-1 and other scripts' digits are refused as
    // they are typed or pasted; a box's own rule stays.
    void caretAndRefusals_data()
    {
        QTest::addColumn<QString>("kind"); // a mask, "" for a plain box, or the plain box's own rule
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("shown"); // a masked box's text, "|", its digits
        const auto row
            = [](const char* name, const char* kind, const QStringList& steps, const QString& shown) {
                  QTest::newRow(name) << QString(kind) << steps << shown;
              };
        // Focus brought by a click right of the last position: typing starts at the first.
        row("one digit of three", "###", { "@95", "5" }, "5  |5");
        row("too many digits", "###", { "@95", "12345" }, "123|123");
        row("letters refused", "###", { "@95", "1a2" }, "12 |12");
        row("literal skipped", "##:##", { "@95", "0530" }, "05:30|0530");
        row("day flags", "# # # #", { "@95", "1011" }, "1 0 1 1|1011");
        // A click in the right part of the focused box puts the caret no further than
        // the first unfilled position.
        row("empty box clicked", "##:##", { "@95", "@90", "1234" }, "12:34|1234");
        row("partly filled box clicked", "##:##", { "@95", "17", "@90", "45" }, "17:45|1745");
        row("full box clicked", "##:##", { "@95", "1700", "@90", "\b" }, "17:0 |170");
        row("focused empty box clicked at 12 %", "####", { "@50", "@12", "1234" }, "1234|1234");
        row("focused empty box clicked at 18 %", "####", { "@50", "@18", "1234" }, "1234|1234");
        row("focused empty box clicked at 25 %", "####", { "@50", "@25", "1234" }, "1234|1234");
        row("time: 12, away, back right", "##:##", { "@50", "12", "^", "@90", "34" }, "12:34|1234");
        row("masked: Tab starts at the first position", "####", { "@50", "12", "^", "Tab", "9" }, "92  |92");
        row("plain: 12, away, back right", "", { "@50", "12", "^", "@90", "34" }, "1234");
        row("plain: Tab starts at the start", "", { "@50", "12", "^", "Tab", "9" }, "912");
        row("Arabic-Indic digits typed", "###", { "@50", u"\u0661\u0662"_qs }, "   |");
        row("Devanagari digit typed", "###", { "@50", u"4\u0967"_qs }, "4  |4");
        row("full-width digits pasted", "###", { "@50", u"paste:\uff11\uff12"_qs }, "   |");
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
