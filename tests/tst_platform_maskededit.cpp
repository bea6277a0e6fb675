#include "MaskedEdit.h"

#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

namespace {

// A masked box in a window, after another box that has the focus.
struct BoxInWindow
{
    QWidget window;
    QLineEdit* before = new QLineEdit(&window);
    MaskedEdit* box = new MaskedEdit(&window);

    BoxInWindow()
    {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(before);
        layout->addWidget(box);
    }
    bool show()
    {
        window.show();
        before->setFocus();
        return QTest::qWaitForWindowActive(&window) && before->hasFocus();
    }
};

} // namespace

// The two readings of a masked box and assignment through its mask, on a real box.
class MaskedEditTest : public QObject
{
    Q_OBJECT

private slots:
    void typing_data()
    {
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QChar>("prompt");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("digits");
        QTest::addColumn<QString>("boxText");
        const QChar blank(u' ');
        QTest::newRow("nothing typed") << "###" << blank << ""
                                       << ""
                                       << "   ";
        QTest::newRow("one digit of three") << "###" << blank << "5"
                                            << "5"
                                            << "5  ";
        QTest::newRow("full") << "####" << blank << "1234"
                              << "1234"
                              << "1234";
        QTest::newRow("too many digits") << "###" << blank << "12345"
                                         << "123"
                                         << "123";
        QTest::newRow("letters refused") << "###" << blank << "1a2"
                                         << "12"
                                         << "12 ";
        QTest::newRow("time, literal skipped") << "##:##" << blank << "0530"
                                               << "0530"
                                               << "05:30";
        QTest::newRow("time, hours only") << "##:##" << blank << "07"
                                          << "07"
                                          << "07:  ";
        QTest::newRow("day flags") << "# # # #" << blank << "1011"
                                   << "1011"
                                   << "1 0 1 1";
        QTest::newRow("prompt _ empty") << "#####" << QChar(u'_') << ""
                                        << ""
                                        << "_____";
        QTest::newRow("prompt _ partly") << "#####" << QChar(u'_') << "12"
                                         << "12"
                                         << "12___";
    }

    void typing()
    {
        QFETCH(QString, mask);
        QFETCH(QChar, prompt);
        QFETCH(QString, typed);
        QFETCH(QString, digits);
        QFETCH(QString, boxText);
        BoxInWindow window;
        MaskedEdit& box = *window.box;
        box.setDigitMask(mask, prompt);
        QVERIFY(window.show());
        // The focus comes by a click right of the last position: typing still
        // starts at the first.
        QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(box.width() - 3, box.height() / 2));
        QVERIFY(box.hasFocus());
        QTest::keyClicks(&box, typed);
        QCOMPARE(box.digits(), digits);
        QCOMPARE(box.boxText(), boxText);
    }

    // Focus brought by a click in the left part starts typing at the first position
    // too; a click in a box that has the focus puts the caret where it lands.
    void clickInTheFocusedBoxPlacesTheCaret()
    {
        BoxInWindow window;
        MaskedEdit* box = window.box;
        box->setDigitMask(QStringLiteral("##:##"));
        QVERIFY(window.show());
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(box->width() / 5, box->height() / 2));
        QTest::keyClicks(box, QStringLiteral("1700"));
        QCOMPARE(box->boxText(), QStringLiteral("17:00"));
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(box->width() - 3, box->height() / 2));
        QTest::keyClick(box, Qt::Key_Backspace);
        QCOMPARE(box->boxText(), QStringLiteral("17:0 "));
    }

    void assign_data()
    {
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QChar>("prompt");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("digits");
        QTest::addColumn<QString>("boxText");
        const QChar blank(u' ');
        QTest::newRow("three digits") << "###" << blank << "005" << true << "005"
                                      << "005";
        QTest::newRow("short value") << "###" << blank << "5" << true << "5"
                                     << "5  ";
        QTest::newRow("blanks clear") << "####" << blank << "    " << true << ""
                                      << "    ";
        QTest::newRow("empty clears") << "####" << blank << "" << true << ""
                                      << "    ";
        QTest::newRow("blank inside") << "####" << blank << "1 34" << true << "134"
                                      << "1 34";
        QTest::newRow("time with colon") << "##:##" << blank << "12:45" << true << "1245"
                                         << "12:45";
        QTest::newRow("time without colon") << "##:##" << blank << "1245" << true << "1245"
                                            << "12:45";
        QTest::newRow("time cleared") << "##:##" << blank << "  :  " << true << ""
                                      << "  :  ";
        QTest::newRow("time cleared by blanks") << "##:##" << blank << "     " << true << ""
                                                << "  :  ";
        QTest::newRow("day flags with blanks") << "# # # #" << blank << "1 0 1 1" << true << "1011"
                                               << "1 0 1 1";
        QTest::newRow("day flags packed") << "# # # #" << blank << "0110" << true << "0110"
                                          << "0 1 1 0";
        QTest::newRow("prompt character unfilled") << "#####" << QChar(u'_') << "12___" << true << "12"
                                                   << "12___";
        QTest::newRow("letter rejected") << "###" << blank << "1A3" << false << "987"
                                         << "987";
        QTest::newRow("too long rejected") << "###" << blank << "1234" << false << "987"
                                           << "987";
        QTest::newRow("colon in a digit place") << "###" << blank << "1:2" << false << "987"
                                                << "987";
        QTest::newRow("non-ASCII digit rejected")
            << "###" << blank << QString::fromUtf8("1\u0663") << false << "987"
            << "987";
    }

    void assign()
    {
        QFETCH(QString, mask);
        QFETCH(QChar, prompt);
        QFETCH(QString, text);
        QFETCH(bool, accepted);
        QFETCH(QString, digits);
        QFETCH(QString, boxText);
        MaskedEdit box;
        box.setDigitMask(mask, prompt);
        // Something in the box first, so a rejected value shows it unchanged.
        if (mask == QLatin1String("###"))
            QVERIFY(box.assign(QStringLiteral("987")));
        QCOMPARE(box.assign(text), accepted);
        QCOMPARE(box.digits(), digits);
        QCOMPARE(box.boxText(), boxText);
    }

    void leadingBackspaceOnEmptyBoxChangesNothing()
    {
        MaskedEdit box;
        box.setDigitMask(QStringLiteral("####"));
        box.show();
        box.setFocus();
        int changes = 0;
        connect(&box, &QLineEdit::textChanged, this, [&] { ++changes; });
        QTest::keyClick(&box, Qt::Key_Backspace);
        QCOMPARE(box.boxText(), QStringLiteral("    "));
        QCOMPARE(box.cursorPosition(), 0);
        QCOMPARE(changes, 0);
        QTest::keyClicks(&box, QStringLiteral("12"));
        QTest::keyClick(&box, Qt::Key_Backspace);
        QCOMPARE(box.digits(), QStringLiteral("1"));
    }
};

QTEST_MAIN(MaskedEditTest)
#include "tst_platform_maskededit.moc"
