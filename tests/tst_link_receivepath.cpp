// The receive path in the window: what the far end sends, as the received-content
// box shows it and as the log file keeps it.
#include "Pty.h"
#include "ScriptedDialogs.h"
#include "WindowTest.h"
#include "form1.h"

#include <QAction>
#include <QFile>
#include <QPlainTextEdit>
#include <QTest>

#include <memory>

class ReceivePathTest : public WindowTest
{
    Q_OBJECT

private slots:
    void init()
    {
        openWindow(false);
        m_fixture->connectRs232();
    }
    void cleanup() { closeWindow(); }

    // Pieces of text, each a read of its own, as the box shows them, as the log keeps
    // them and as a save right after the last one writes them. Line feeds are
    // dropped, a carriage return gets one; a backspace takes the character before it,
    // and any that start a piece take back the box's last character once (none at
    // first); the log cannot take back what it has.
    void boxLogAndSave()
    {
        QPlainTextEdit* box = m_fixture->window().ui().Text1;
        const QString logPath = m_environment.filePath(QStringLiteral("log.TNT"));
        auto log = std::make_unique<QFile>(logPath);
        QVERIFY(log->open(QIODevice::WriteOnly));
        m_fixture->window().openLog(std::move(log));
        for (const char* piece : { "\b", "\bTNT 01\r\nM\xdcL\nLER\rC", "D\r", "\nE12\b34", "\b5",
                 "\b\b\bX\n\rY\r\r", "AB\b\b\bZ\t\xe9", "A\r\b\nB" }) {
            const QString before = box->toPlainText();
            QVERIFY(m_fixture->pty().write(piece));
            // Read once the box shows it (the lone first backspace shows nothing).
            QTRY_VERIFY(box->toPlainText() != before || qstrcmp(piece, "\b") == 0);
        }
        // Text that comes too soon after the last display to be shown yet when the
        // menu command runs: the command has it all the same.
        QVERIFY(m_fixture->pty().write("FIRST\r\n"));
        QTest::qWait(5);
        QVERIFY(m_fixture->pty().write("SECOND\r\n"));
        const QByteArray logged("TNT 01\r\nM\xdcLLER\r\nCD\r\nE1345X\r\nY\r\n\r\nZ\t\xe9"
                                "ABFIRST\r\nSECOND\r\n");
        QTRY_COMPARE(fileBytes(logPath), logged);
        const QString path = m_environment.filePath(QStringLiteral("received.txt"));
        m_fixture->dialogs().expectSaveFile(path);
        m_fixture->window().findChild<QAction*>(QStringLiteral("save_received"))->trigger();

        QCOMPARE(box->toPlainText(),
            QStringLiteral("TNT 01\nM\u00dcLLER\nCD\nE13X\nY\nZ\t\u00e9"
                           "ABFIRST\nSECOND\n"));
        QCOMPARE(m_fixture->window().panelText(1), QStringLiteral("Status: Receiving..."));
        // A save ends with one more line end.
        QCOMPARE(fileBytes(path),
            QByteArray("TNT 01\r\nM\xdcLLER\r\nCD\r\nE13X\r\nY\r\nZ\t\xe9"
                       "ABFIRST\r\nSECOND\r\n\r\n"));
    }

    // A long dump: with more than 20000 characters in the box, a line end counted
    // as the CR LF it is in the log, the next text first drops the oldest 4096; a
    // line end cut in two goes whole.
    void boxKeepsItsNewestText()
    {
        QPlainTextEdit* box = m_fixture->window().ui().Text1;
        // 1176 lines of 15 characters and CR LF, then 9 characters: 20001 in all. The
        // oldest 4096 are 240 lines (4080), 15 characters and the CR of the next.
        QByteArray dump;
        QString kept;
        for (int i = 0; i < 1176; ++i) {
            const QByteArray line = QByteArray::number(i).rightJustified(15, '0');
            dump += line + "\r\n";
            if (i > 240)
                kept += QString::fromLatin1(line) + QLatin1Char('\n');
        }
        dump += "987654321";
        for (qsizetype at = 0; at < dump.size(); at += 1024)
            QVERIFY(m_fixture->pty().write(dump.mid(at, 1024)));
        QTRY_VERIFY(box->toPlainText().endsWith(QStringLiteral("987654321")));
        QVERIFY(m_fixture->pty().write("Z"));
        QTRY_COMPARE(box->toPlainText(), kept + QStringLiteral("987654321Z"));
    }
};

QTEST_MAIN(ReceivePathTest)
#include "tst_link_receivepath.moc"
