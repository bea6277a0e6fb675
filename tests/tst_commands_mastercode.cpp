// The master code and the phone number as the operator types them: the line that
// goes out, the buttons it enables, the keys the boxes take and the stored number.
#include "Dialogs.h"
#include "Pty.h"
#include "ScriptedDialogs.h"
#include "SettingsStore.h"
#include "WindowTest.h"
#include "form1.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

class MasterCodeTest : public WindowTest
{
    Q_OBJECT

private slots:
    void init() { openWindow(); }
    void cleanup() { closeWindow(); }

    // Empty (by Enter and by the button), typed, after Disconnect: the line, the buttons it
    // enables, the focus.
    void sendingTheCode()
    {
        auto* code = control<QLineEdit>("Text3");
        const auto check = [&](const QByteArray& sent, const QString& enabled, const QString& focus) {
            QCOMPARE(m_fixture->pty().drain(), sent);
            QStringList found;
            for (const char* name : { "upload", "download", "RtRTc", "date" }) {
                if (control(name)->isEnabled())
                    found << QLatin1String(name);
            }
            QCOMPARE(found.join(' '), enabled);
            QCOMPARE(QApplication::focusWidget()->objectName(), focus);
        };
        m_fixture->connectRs232();
        for (int i = 0; i < 2; ++i)
            m_fixture->dialogs().expectMessage(QStringLiteral("Please input Master Code"),
                QStringLiteral("Vestibar 4600 Management System"), Dialogs::Answer::Ok, Dialogs::Buttons::Ok,
                Dialogs::Icon::None);
        clickControl(code);
        QTest::keyClick(code, Qt::Key_Return);
        click("Mastercode");
        check({}, {}, QStringLiteral("Text3"));

        // A short code goes out as typed; Enter leaves the focus in the box.
        QTest::keyClicks(code, QStringLiteral("042"));
        QTest::keyClick(code, Qt::Key_Return);
        check("PGM042\r\n", QStringLiteral("upload download RtRTc date"), QStringLiteral("Text3"));

        // With the port closed, Enter is silent.
        click("close1");
        QCOMPARE(m_fixture->pty().drain(), QByteArray("DIS\r\n"));
        clickControl(code);
        QTest::keyClick(code, Qt::Key_Return);
        check({}, {}, QStringLiteral("Text3"));

        // Enter is no digit: it beeps after it has done its work.
        QCOMPARE(m_fixture->dialogs().beeps(), 3);
    }

    // Key by key: what each box holds, the beeps so far and the phone number stored.
    void keys()
    {
        const auto type = [&](QLineEdit* box, std::initializer_list<const char*> keys) {
            clickControl(box);
            QStringList seen;
            for (const char* key : keys) {
                if (*key == '\b')
                    QTest::keyClick(box, Qt::Key_Backspace);
                else
                    QTest::keyClicks(box, QLatin1String(key));
                seen << box->text() + '|' + QString::number(m_fixture->dialogs().beeps()) + '|'
                        + m_fixture->settings().value("Properties", "ph");
            }
            return seen;
        };
        // A letter and a blank beep; a fifth digit is refused silently; Backspace empties the box.
        QCOMPARE(type(control<QLineEdit>("Text3"), { "1", "2", "a", " ", "3", "4", "5", "\b" }),
            (QStringList { "1|0|", "12|0|", "12|1|", "12|2|", "123|2|", "1234|2|", "1234|2|", "|3|" }));
        // Every key rewrites the stored number; Backspace empties it silently.
        QCOMPARE(type(control<QLineEdit>("Text2"), { "5", "5", "-", "1", "\b" }),
            (QStringList { "5|3|5", "55|3|55", "55-|3|55-", "55-1|3|55-1", "|3|" }));
        // Enter in the phone box hands the focus to Connect.
        QTest::keyClicks(control("Text2"), "7");
        QTest::keyClick(control("Text2"), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("connect"));
    }
};

QTEST_MAIN(MasterCodeTest)
#include "tst_commands_mastercode.moc"
