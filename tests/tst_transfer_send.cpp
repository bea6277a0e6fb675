// The database send on a pseudo-terminal: which lines go out, untrimmed and in
// order, the pause before each, the counts, and the ends of a send.
#include "LinkSession.h"
#include "Pty.h"
#include "ScriptedDialogs.h"
#include "SettingsStore.h"
#include "Ticker.h"
#include "WindowTest.h"
#include "form1.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QSocketNotifier>
#include <QTest>
#include <QTimer>

class SendTest : public WindowTest
{
    Q_OBJECT

    QProgressBar* m_progress = nullptr;
    std::unique_ptr<QSocketNotifier> m_reader;
    QByteArray m_wire; // what reached the far end during the sends
    QElapsedTimer m_sinceChoice;
    // Per record counted: "<progress value>/<maximum>@<ticks since the file was chosen>".
    QStringList m_counted;
    bool m_busyWhileCounting = true; // banner, progress bar and hourglass shown at every count

    // Presses "DataBase" and waits for the send to end.
    void clickSend()
    {
        control("sendfileg")->setEnabled(true);
        QTest::mouseClick(control("sendfileg"), Qt::LeftButton);
        settle(120000);
        QTest::qWait(50); // whatever is still on its way
    }
    // With the given file; none: the dialog is cancelled.
    void send(std::optional<QString> path)
    {
        m_fixture->dialogs().expectOpenFile(path, QStringLiteral("Open Communication File"));
        m_fixture->dialogs().whileShown([this] { m_sinceChoice.start(); }); // pauses counted from the choice
        clickSend();
    }

private slots:
    void init()
    {
        // Ticks long enough that a count is never taken for the next tick, even on a
        // busy machine; a line fast enough that writing a record takes a fraction of one.
        m_timing.tick = std::chrono::milliseconds(200);
        openWindow();
        m_progress = control<QProgressBar>("Progress");
        m_window->MSComm1().setCommPort(1);
        m_window->MSComm1().setSettings(QStringLiteral("9600,N,8,1"));
        QVERIFY(m_window->MSComm1().open().ok());
        // The far end is read as the tool writes, even inside a click.
        m_reader = std::make_unique<QSocketNotifier>(m_fixture->pty().masterFd(), QSocketNotifier::Read);
        connect(m_reader.get(), &QSocketNotifier::activated, this,
            [this] { m_wire += m_fixture->pty().read(0); });
        m_wire.clear();
        m_counted.clear();
        m_busyWhileCounting = true;
        connect(m_progress, &QProgressBar::valueChanged, this, [this](int value) {
            if (value <= 0)
                return;
            // The pause before each line runs from the write of the one before, so a
            // record is counted just after its tick.
            const qint64 tick = m_window->Timer1().tickLength().count();
            const qint64 ticks = tick > 0 ? m_sinceChoice.elapsed() / tick : 0;
            m_counted << QStringLiteral("%1/%2@%3").arg(value).arg(m_progress->maximum()).arg(ticks);
            m_busyWhileCounting &= control("Command1")->isVisible() && m_progress->isVisible()
                && m_window->cursor().shape() == Qt::WaitCursor;
        });
    }

    void cleanup() { closeWindow(); }

    void sendsTheRecordLines_data()
    {
        QTest::addColumn<QString>("byteCycle");
        QTest::addColumn<int>("reopens"); // in RS232 mode; modem mode when 0
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("wire");
        QTest::addColumn<QStringList>("counted"); // progress value/maximum @ ticks since the click

        // Non-empty lines: 1 TNT, 2 blanks, 3 lower case, 4 TNT with blanks, 5 ACD after
        // a lone LF, 6 too short, 7 HLD; the empty lines cost nothing.
        const QByteArray mixed
            = "TNTDIR:1TEL:5 NAME:A\r\n\r\n   \r\ntntDIR:9\r\n  TNTDIR:2TEL: NAME:B  \r\n\r\n"
              "ACD1234\nTN\rHLD0101\r\n";
        const QByteArray mixedWire
            = "TNTDIR:1TEL:5 NAME:A\r\n  TNTDIR:2TEL: NAME:B  \r\nACD1234\r\nHLD0101\r\n";
        QTest::newRow("no byte cycle")
            << QString() << 0 << mixed << mixedWire << QStringList { "1/7@1", "2/7@4", "3/7@5", "4/7@7" };
        QTest::newRow("15 ms") << "15" << 0 << mixed << mixedWire
                               << QStringList { "1/7@1", "2/7@4", "3/7@5", "4/7@7" };
        QTest::newRow("20 ms") << "20" << 0 << mixed << mixedWire
                               << QStringList { "1/7@2", "2/7@8", "3/7@10", "4/7@14" };
        // The port is renewed before every non-empty line, sent or not.
        QTest::newRow("parameter file, RS232")
            << "" << 4 << QByteArray("PHO5551234\r\nPGM1234\r\nPARCHT 5\r\nPARMSG Hi\r\n\r\n")
            << QByteArray("PARCHT 5\r\nPARMSG Hi\r\n") << QStringList { "1/4@3", "2/4@4" };
        // NUL and high bytes go out as they are; a lone CR ends a line.
        QTest::newRow("binary") << "" << 0
                                << QByteArrayLiteral(
                                       "TNTDIR:1\0\xff\xfe NAME:\xc3\x28\r\n  HLD 01\x80\rgarbage\0\0\r\n")
                                << QByteArrayLiteral("TNTDIR:1\0\xff\xfe NAME:\xc3\x28\r\n  HLD 01\x80\r\n")
                                << QStringList { "1/3@1", "2/3@2" };
        // The longest line the controller takes goes out whole (in more than a tick).
        const QByteArray longest = "TNT" + QByteArray(253, 'x') + "\r\n";
        QTest::newRow("256 characters") << "" << 0 << longest << longest << QStringList { "1/1@2" };
    }

    void sendsTheRecordLines()
    {
        QFETCH(QString, byteCycle);
        QFETCH(int, reopens);
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, wire);
        QFETCH(QStringList, counted);
        m_fixture->settings().setValue(QString::fromLatin1(SettingsStore::Properties), "savea", byteCycle);
        clickControl(control(reopens ? "Option7" : "Option8"));
        const int opened = m_window->MSComm1().openCount();
        const QString path = m_environment.writeFile(QStringLiteral("records.TNT"), file);
        send(path);
        QCOMPARE(m_wire, wire);
        QCOMPARE(m_counted, counted);
        QCOMPARE(m_window->panelText(3), QStringLiteral("Send Record:  %1").arg(counted.size()));
        QCOMPARE(m_window->MSComm1().openCount() - opened, reopens);
        QVERIFY(m_busyWhileCounting);
        QCOMPARE(control<QAbstractButton>("Command1")->text(), QStringLiteral(" Please   Wait ..."));
        QVERIFY(!control("Command1")->isVisible());
        QVERIFY(!m_progress->isVisible());
        QVERIFY(m_window->cursor().shape() != Qt::WaitCursor);
        const Dialogs::FileRequest request = m_fixture->dialogs().fileRequests().constLast();
        QCOMPARE(request.filterIndex, 2);
        QCOMPARE(request.filter,
            "All Files (*.*)|*.*|TNT Files(*.TNT)|*.TNT|ACD Files (*.ACD)|*.ACD|HLD files (*.HLD)|*.HLD|"
            "ATS files (*.ATS)|*.ATS|TMZ files (*.TMZ)|*.TMZ|PAR files (*.PAR)|*.PAR");

        // Cancelled the next time: the name chosen last is offered, nothing is sent,
        // the panel keeps its count.
        m_wire.clear();
        send(std::nullopt);
        QCOMPARE(m_fixture->dialogs().fileRequests().constLast().fileName, path);
        QCOMPARE(m_wire, QByteArray());
        QCOMPARE(m_window->panelText(3), QStringLiteral("Send Record:  %1").arg(counted.size()));
    }

    // Disconnect in the pause after the first record; pressed again on the closed
    // port, "DataBase" does nothing. The log of a dump being received is closed first.
    void disconnectDuringAPause()
    {
        m_fixture->dialogs().expectOpenFile(m_environment.filePath(QStringLiteral("log.TNT")));
        control("up_tnt")->setEnabled(true);
        QTest::mouseClick(control("up_tnt"), Qt::LeftButton);
        settle();
        QTRY_COMPARE(m_wire, QByteArray("PRITNT\r\n"));
        QVERIFY(control("Command3")->isVisible());

        m_fixture->dialogs().expectOpenFile(m_environment.writeFile("three.TNT", "TNT1\r\nTNT2\r\nTNT3\r\n"));
        // The controller answers during the send: not into the closed log.
        m_fixture->dialogs().whileShown([this] {
            m_sinceChoice.start();
            m_fixture->pty().write("EVR 1\r\n");
        });
        m_fixture->dialogs().expectMessage(QStringLiteral("The comm port is closed"),
            QStringLiteral("Disconnect"), Dialogs::Answer::Ok, Dialogs::Buttons::Ok, Dialogs::Icon::None);
        control("close1")->setEnabled(true);
        connect(m_progress, &QProgressBar::valueChanged, control<QAbstractButton>("close1"),
            &QAbstractButton::click, Qt::ConnectionType(Qt::QueuedConnection | Qt::SingleShotConnection));
        m_wire.clear();
        clickSend();
        QCOMPARE(m_wire, QByteArray("TNT1\r\nDIS\r\n"));
        QCOMPARE(m_counted, QStringList { "1/3@1" });
        QVERIFY(!control("Command1")->isVisible());
        QVERIFY(!m_progress->isVisible());
        QCOMPARE(m_progress->value(), 0);
        QVERIFY(m_window->cursor().shape() != Qt::WaitCursor);
        QVERIFY(!control("Command3")->isVisible());
        QVERIFY(control<QPlainTextEdit>("Text1")->toPlainText().contains("EVR 1"));
        QCOMPARE(fileBytes(m_environment.filePath(QStringLiteral("log.TNT"))), QByteArray());

        m_wire.clear();
        clickSend();
        QCOMPARE(m_wire, QByteArray());
        QCOMPARE(m_fixture->dialogs().fileRequests().size(), 2);
    }

    // "Send": on a closed port nothing changes; on an open one the programming
    // controls are enabled and the focus goes to the access-code box.
    void sendButtonEnablesTheProgrammingControls()
    {
        // The link controls and the boxes of the parameter frame; these stay disabled.
        const QStringList controls = linkControlSet()
            + QStringList { "Frame4", "Crno", "rl2", "medit1", "medit2", "medit3", "medit4", "medit5" };
        const QStringList untouched { "Command2", "Mastercode", "hldc", "atsc", "tmzc", "date", "upload",
            "endg", "RtRTc", "up_all", "up_par", "up_tnt", "up_evr", "up_hlp" };
        m_window->MSComm1().close();
        control("download")->setEnabled(true);
        click("download");
        QVERIFY(!control("sendfileg")->isEnabled() && !control("clearevr")->isEnabled());
        QVERIFY(m_window->MSComm1().open().ok());
        click("download");
        for (const QString& name : controls)
            QVERIFY2(control(name)->isEnabled() != untouched.contains(name), qPrintable(name));
        QCOMPARE(QApplication::focusWidget(), control("meditacd"));
    }

    // Refused before anything goes out: a device or a pipe (reading either never
    // ends), a line longer than the controller takes (a file without line breaks).
    void refusedFiles_data()
    {
        QTest::addColumn<QString>("name"); // "/dev/zero", "pipe": a named pipe made here, else a file
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("reason");
        const QString notAFile = QStringLiteral("It is a device or a pipe, not a file.");
        QTest::newRow("device") << "/dev/zero" << QByteArray() << notAFile;
        QTest::newRow("pipe") << "pipe" << QByteArray() << notAFile;
        QTest::newRow("line of 257 characters")
            << "long.TNT"
            << "TNT1\r\nTNT" + QByteArray(254, 'x') + "\r\nTNT3\r\n"
            << "Line 2 is longer than 256 characters, more than the controller takes.";
        QTest::newRow("no line breaks")
            << "blob.TNT"
            << "TNT" + QByteArray(3000000, '\xff')
            << "Line 1 is longer than 256 characters, more than the controller takes.";
    }

    void refusedFiles()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, file);
        QFETCH(QString, reason);
        const QString path = m_environment.chosenPath(name, file);
        m_fixture->dialogs().expectOpenFile(path);
        m_fixture->dialogs().expectMessage("The file " + path + " could not be read.\n" + reason,
            QStringLiteral("Open file"), Dialogs::Answer::Ok, Dialogs::Buttons::Ok,
            Dialogs::Icon::Exclamation);
        clickSend();
        QCOMPARE(m_wire, QByteArray());
        QVERIFY(!m_progress->isVisible());
        QVERIFY(m_window->cursor().shape() != Qt::WaitCursor);
    }

    // A large file is counted in steps: the window's timers run while it is.
    void largeFileCountedWhileTheWindowRuns()
    {
        int ticks = 0; // before the progress bar shows the count
        QTimer live;
        connect(&live, &QTimer::timeout, this, [&ticks, &live, this] {
            if (m_progress->isVisible())
                live.stop();
            else
                ++ticks;
        });
        m_fixture->dialogs().expectOpenFile(m_environment.writeFile(
            QStringLiteral("empty lines.TNT"), QByteArray(8000000, '\n') + "TNT1\r\n"));
        m_fixture->dialogs().whileShown([&] {
            m_sinceChoice.start();
            live.start(0);
        });
        clickSend();
        QCOMPARE(m_wire, QByteArray("TNT1\r\n"));
        QVERIFY2(ticks >= 4, qPrintable(QString::number(ticks)));
    }

    void largeFileIsSentWhole()
    {
        // More lines than a 16-bit count holds, of every kind in turn; an immediate
        // tick keeps it quick.
        QByteArray content;
        for (int i = 1; i <= 40000; ++i)
            content += QByteArray("TNTACDATSTMZHLDPAR").mid(i % 6 * 3, 3) + QByteArray::number(i) + "\r\n";
        m_window->Timer1().setTickLength(std::chrono::milliseconds(0));
        m_window->MSComm1().setSettings(QStringLiteral("4000000,N,8,1"));
        send(m_environment.writeFile(QStringLiteral("large.TNT"), content));
        QCOMPARE(m_wire, content);
        QCOMPARE(m_counted.size(), 40000);
        QCOMPARE(m_window->panelText(3), QStringLiteral("Send Record:  40000"));
    }
};

QTEST_MAIN(SendTest)
#include "tst_transfer_send.moc"
