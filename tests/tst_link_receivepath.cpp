// The receive path in the window: what the far end sends, as the received-content
// box shows it and as the log file keeps it.
#include "Pty.h"
#include "ScriptedDialogs.h"
#include "SerialPort.h"
#include "TestEnvironment.h"
#include "form1.h"

#include <QAction>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QTest>

#include <memory>

class ReceivePathTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void boxAndLog_data();
    void boxAndLog();
    void leadingBackspaceOnEmptyBox();
    void boxKeepsItsNewestText();
    void menuCommandSeesEverythingReceived();

private:
    // Writes the pieces one after another, each once the box has taken the last.
    void receive(const QList<QByteArray>& pieces);
    QPlainTextEdit* box() const { return m_window->ui().Text1; }

    TestEnvironment m_environment;
    std::unique_ptr<MainWindowFixture> m_fixture;
    form1* m_window = nullptr;
};

void ReceivePathTest::init()
{
    m_environment.clearSettings();
    m_fixture = std::make_unique<MainWindowFixture>();
    m_window = &m_fixture->show();
    SerialPort& port = m_window->MSComm1();
    port.setCommPort(1);
    port.setSettings(QStringLiteral("1200,N,8,1"));
    QVERIFY(port.open().ok);
}

void ReceivePathTest::cleanup()
{
    QVERIFY2(m_fixture->dialogs().done(), qPrintable(m_fixture->dialogs().report()));
    m_fixture.reset();
    m_window = nullptr;
}

void ReceivePathTest::receive(const QList<QByteArray>& pieces)
{
    for (const QByteArray& piece : pieces) {
        const QString before = box()->toPlainText();
        QVERIFY(m_fixture->pty().write(piece));
        QTRY_VERIFY(box()->toPlainText() != before || piece.startsWith('\b'));
        QTest::qWait(20);
    }
}

void ReceivePathTest::boxAndLog_data()
{
    QTest::addColumn<QList<QByteArray>>("pieces");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QByteArray>("logged");

    QTest::newRow("CR LF") << QList<QByteArray> { "TNT 01\r\nTNT 02\r\n" } << "TNT 01\nTNT 02\n"
                           << QByteArray("TNT 01\r\nTNT 02\r\n");
    QTest::newRow("bare LF dropped") << QList<QByteArray> { "A\nB\n" } << "AB" << QByteArray("AB");
    QTest::newRow("bare CR gets its LF") << QList<QByteArray> { "A\rB\r" } << "A\nB\n"
                                         << QByteArray("A\r\nB\r\n");
    QTest::newRow("line end split across reads") << QList<QByteArray> { "END OF TNT\r",
        "\nREADY\r\n" } << "END OF TNT\nREADY\n" << QByteArray("END OF TNT\r\nREADY\r\n");
    QTest::newRow("backspace inside a piece") << QList<QByteArray> { "12\b34" } << "134" << QByteArray("134");
    // The box's last character goes; the log cannot take back what it has.
    QTest::newRow("backspace starting a piece")
        << QList<QByteArray> { "12", "\b3" } << "13" << QByteArray("123");
    QTest::newRow("Latin-1 bytes") << QList<QByteArray> { "NAME:M\xdcLLER\r\n" } << "NAME:M\u00dcLLER\n"
                                   << QByteArray("NAME:M\xdcLLER\r\n");
}

void ReceivePathTest::boxAndLog()
{
    QFETCH(QList<QByteArray>, pieces);
    QFETCH(QString, shown);
    QFETCH(QByteArray, logged);

    const QString path = m_environment.filePath(QStringLiteral("log.TNT"));
    QFile::remove(path);
    auto log = std::make_unique<QFile>(path);
    QVERIFY(log->open(QIODevice::WriteOnly | QIODevice::Append));
    m_window->openLog(std::move(log));

    receive(pieces);

    QCOMPARE(box()->toPlainText(), shown);
    QCOMPARE(m_window->panelText(1), QStringLiteral("Status: Receiving..."));
    m_window->closeLog();
    QFile written(path);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), logged);
}

// Nothing to take back: nothing happens, no message.
void ReceivePathTest::leadingBackspaceOnEmptyBox()
{
    QVERIFY(m_fixture->pty().write("\b"));
    QTest::qWait(100);
    QCOMPARE(box()->toPlainText(), QString());
    QVERIFY(m_fixture->pty().write("\bOK"));
    QTRY_COMPARE(box()->toPlainText(), QStringLiteral("OK"));
}

// A long dump: with more than 20000 characters in the box (a line end is CR LF,
// two characters), the next text first drops the oldest 4096.
void ReceivePathTest::boxKeepsItsNewestText()
{
    // 666 lines of 28 characters and CR LF, then 21 characters: 20001 in all.
    QByteArray dump;
    QStringList lines;
    for (int i = 0; i < 666; ++i) {
        lines << QStringLiteral("%1").arg(i, 28, 10, QLatin1Char('0'));
        dump += lines.constLast().toLatin1() + "\r\n";
    }
    const QByteArray partial(21, 'P');
    dump += partial;
    for (qsizetype at = 0; at < dump.size(); at += 1024)
        QVERIFY(m_fixture->pty().write(dump.mid(at, 1024)));
    QTRY_VERIFY(box()->toPlainText().endsWith(QString::fromLatin1(partial)));

    QVERIFY(m_fixture->pty().write("Z"));
    // 4096 = 136 whole lines (4080) and 16 characters of the next one.
    const QString expected = lines.mid(136).join(QLatin1Char('\n')).mid(16) + QLatin1Char('\n')
        + QString::fromLatin1(partial) + QLatin1Char('Z');
    QTRY_COMPARE(box()->toPlainText(), expected);
}

// Text that arrived just before a menu command is in the box when the command
// reads it, however soon after the last display it came.
void ReceivePathTest::menuCommandSeesEverythingReceived()
{
    // The log takes every read at once: it tells when the tool has the text.
    const QString logPath = m_environment.filePath(QStringLiteral("menu.log"));
    auto log = std::make_unique<QFile>(logPath);
    QVERIFY(log->open(QIODevice::WriteOnly | QIODevice::Truncate));
    m_window->openLog(std::move(log));
    QVERIFY(m_fixture->pty().write("FIRST\r\n"));
    QTest::qWait(5);
    QVERIFY(m_fixture->pty().write("SECOND\r\n"));
    QElapsedTimer waited;
    waited.start();
    while (QFileInfo(logPath).size() < 15 && waited.elapsed() < 5000)
        QTest::qWait(1);
    const QString path = m_environment.filePath(QStringLiteral("received.txt"));
    m_fixture->dialogs().expectSaveFile(path);
    m_window->findChild<QAction*>(QStringLiteral("save_received"))->trigger();
    QFile saved(path);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), QByteArray("FIRST\r\nSECOND\r\n\r\n")); // a save ends with one more line end
}

QTEST_MAIN(ReceivePathTest)
#include "tst_link_receivepath.moc"
