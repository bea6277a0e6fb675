// The database send on a pseudo-terminal: which lines go out, untrimmed and in
// order, the pause before each, the counts, and the ends of a send.
#include "Dialogs.h"
#include "Pty.h"
#include "ScriptedDialogs.h"
#include "SerialPort.h"
#include "SettingsStore.h"
#include "TestEnvironment.h"
#include "Ticker.h"
#include "form1.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QProgressBar>
#include <QRadioButton>
#include <QSocketNotifier>
#include <QTest>
#include <QTimer>

#include <unistd.h>

#include <functional>
#include <memory>

using Answer = Dialogs::Answer;

namespace {

// A record as the far end got it, and what the window showed once it was counted.
struct Arrival
{
    QByteArray line;
    int ticks = 0;
    QString panel3;
    bool bannerShown = false;
    bool progressShown = false;
    int progressMaximum = 0;
    int progressValue = 0;
    bool busyPointer = false;
};

} // namespace

class SendTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void mixedFileSendsItsRecords_data();
    void mixedFileSendsItsRecords();
    void parameterFileSendsOnlyParLines();
    void rs232RenewsBeforeEveryLine();
    void disconnectDuringAPause();
    void closedPortSendsNothing();
    void largeFileIsSentWhole();

private:
    QAbstractButton* button(const char* name) { return m_window->findChild<QAbstractButton*>(name); }
    bool openPort();
    // Presses "DataBase" with the given file and records every line that arrives.
    void send(const QString& path);

    TestEnvironment m_environment;
    std::unique_ptr<MainWindowFixture> m_fixture;
    form1* m_window = nullptr;
    QList<Arrival> m_arrivals;
    QByteArray m_pending;
    int m_ticks = 0;
    std::function<void(const Arrival&)> m_onArrival;
};

void SendTest::init()
{
    m_fixture = std::make_unique<MainWindowFixture>();
    m_window = &m_fixture->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    m_window->findChild<QRadioButton*>("Option8")->setChecked(true);
    m_arrivals.clear();
    m_pending.clear();
    m_ticks = 0;
    m_onArrival = nullptr;
    connect(&m_window->Timer1(), &Ticker::ticked, this, [this] { ++m_ticks; });
}

void SendTest::cleanup()
{
    QVERIFY2(m_fixture->dialogs().done(), qPrintable(m_fixture->dialogs().report()));
    m_fixture.reset();
    m_window = nullptr;
}

bool SendTest::openPort()
{
    SerialPort& port = m_window->MSComm1();
    port.setCommPort(1);
    port.setSettings(QStringLiteral("1200,N,8,1"));
    return port.open().ok;
}

void SendTest::send(const QString& path)
{
    // The far end is read while the send runs inside its click. A line reaches it
    // while the write still waits for the line, before the window counts it, so
    // what the window shows is taken when the record has been counted.
    auto* progress = m_window->findChild<QProgressBar*>("Progress");
    QList<Arrival> counted;
    const qsizetype before = m_arrivals.size();
    connect(progress, &QProgressBar::valueChanged, this, [this, &counted, progress](int value) {
        if (value <= 0)
            return;
        Arrival& state = counted.emplace_back();
        state.panel3 = m_window->panelText(3);
        state.bannerShown = button("Command1")->isVisible();
        state.progressShown = progress->isVisible();
        state.progressMaximum = progress->maximum();
        state.progressValue = progress->value();
        state.busyPointer = m_window->cursor().shape() == Qt::WaitCursor;
    });
    QSocketNotifier reader(m_fixture->pty().masterFd(), QSocketNotifier::Read);
    connect(&reader, &QSocketNotifier::activated, this, [this] {
        char buffer[4096];
        const ssize_t got = ::read(m_fixture->pty().masterFd(), buffer, sizeof buffer);
        if (got <= 0)
            return;
        m_pending.append(buffer, got);
        qsizetype end;
        while ((end = m_pending.indexOf("\r\n")) >= 0) {
            Arrival arrival {};
            arrival.line = m_pending.left(end);
            arrival.ticks = m_ticks;
            m_pending.remove(0, end + 2);
            m_arrivals.append(arrival);
            if (m_onArrival)
                m_onArrival(arrival);
        }
    });
    m_fixture->dialogs().expectOpenFile(path, QStringLiteral("Open Communication File"));
    button("sendfileg")->setEnabled(true);
    QTest::mouseClick(button("sendfileg"), Qt::LeftButton);
    // Whatever is still on its way.
    QTest::qWait(50);
    QCoreApplication::processEvents();
    disconnect(progress, &QProgressBar::valueChanged, this, nullptr);
    for (qsizetype i = 0; i < counted.size() && before + i < m_arrivals.size(); ++i) {
        counted[i].line = m_arrivals[before + i].line;
        counted[i].ticks = m_arrivals[before + i].ticks;
        m_arrivals[before + i] = counted[i];
    }
}

void SendTest::mixedFileSendsItsRecords_data()
{
    QTest::addColumn<QString>("byteCycle");
    QTest::addColumn<int>("ticksPerLine");
    QTest::newRow("no byte cycle") << QString() << 1;
    QTest::newRow("15 ms") << "15" << 1;
    QTest::newRow("20 ms") << "20" << 2;
}

void SendTest::mixedFileSendsItsRecords()
{
    QFETCH(QString, byteCycle);
    QFETCH(int, ticksPerLine);
    m_fixture->settings().setValue(
        QString::fromLatin1(SettingsStore::Properties), QStringLiteral("savea"), byteCycle);
    QVERIFY(openPort());
    // Non-empty lines: 1 TNT, 2 blanks, 3 lower case, 4 TNT with blanks, 5 ACD,
    // 6 too short, 7 HLD; the empty lines cost nothing.
    const QString path = m_environment.writeFile(QStringLiteral("mixed.TNT"),
        "TNTDIR:1TEL:5 NAME:A\r\n\r\n   \r\ntntDIR:9\r\n  TNTDIR:2TEL: NAME:B  \r\n\r\nACD1234\nTN\r"
        "HLD0101\r\n");
    send(path);

    const QList<QByteArray> lines { "TNTDIR:1TEL:5 NAME:A", "  TNTDIR:2TEL: NAME:B  ", "ACD1234", "HLD0101" };
    const QList<int> nonEmptyIndex { 1, 4, 5, 7 };
    QCOMPARE(m_arrivals.size(), lines.size());
    for (int i = 0; i < lines.size(); ++i) {
        const Arrival& arrival = m_arrivals.at(i);
        QCOMPARE(arrival.line, lines.at(i));
        QCOMPARE(arrival.ticks, nonEmptyIndex.at(i) * ticksPerLine);
        QCOMPARE(arrival.panel3, QStringLiteral("Send Record:  %1").arg(i + 1));
        // The last record is read at the far end only after the send has ended.
        if (i + 1 == lines.size())
            break;
        QVERIFY(arrival.bannerShown);
        QVERIFY(arrival.progressShown);
        QCOMPARE(arrival.progressMaximum, 7);
        QCOMPARE(arrival.progressValue, i + 1);
        QVERIFY(arrival.busyPointer);
    }
    QCOMPARE(m_window->sentRecordCount(), 4);
    QCOMPARE(m_window->panelText(3), QStringLiteral("Send Record:  4"));
    QVERIFY(!button("Command1")->isVisible());
    QVERIFY(!m_window->findChild<QProgressBar*>("Progress")->isVisible());
    QVERIFY(m_window->cursor().shape() != Qt::WaitCursor);
}

void SendTest::parameterFileSendsOnlyParLines()
{
    QVERIFY(openPort());
    const QString path = m_environment.writeFile(
        QStringLiteral("set.PAR"), "PHO5551234\r\nPGM1234\r\nPARCHT 5\r\nPARMSG Hi\r\n\r\n");
    send(path);
    QCOMPARE(m_arrivals.size(), 2);
    QCOMPARE(m_arrivals.at(0).line, QByteArray("PARCHT 5"));
    QCOMPARE(m_arrivals.at(1).line, QByteArray("PARMSG Hi"));
    // Every non-empty line is in the total, only the sent ones in the count.
    QCOMPARE(m_arrivals.at(0).progressMaximum, 4);
    QCOMPARE(m_arrivals.at(0).progressValue, 1);

    // The name chosen last is offered again.
    const Dialogs::FileRequest request = m_fixture->dialogs().fileRequests().constLast();
    QCOMPARE(request.filterIndex, 2);
    QCOMPARE(request.filter,
        QStringLiteral(
            "All Files (*.*)|*.*|TNT Files(*.TNT)|*.TNT|ACD Files (*.ACD)|*.ACD|HLD files "
            "(*.HLD)|*.HLD|ATS files (*.ATS)|*.ATS|TMZ files (*.TMZ)|*.TMZ|PAR files (*.PAR)|*.PAR"));
    m_fixture->dialogs().expectOpenFile(std::nullopt);
    QTest::mouseClick(button("sendfileg"), Qt::LeftButton);
    QCOMPARE(m_fixture->dialogs().fileRequests().constLast().fileName, path);
}

void SendTest::rs232RenewsBeforeEveryLine()
{
    m_fixture->connectRs232();
    const int opened = m_window->MSComm1().openCount();
    send(m_environment.writeFile(QStringLiteral("two.TNT"), "TNT1\r\nnot a record\r\n\r\nACD2\r\n"));
    QCOMPARE(m_arrivals.size(), 2);
    QCOMPARE(m_window->MSComm1().openCount() - opened, 3);
}

void SendTest::disconnectDuringAPause()
{
    QVERIFY(openPort());
    button("close1")->setEnabled(true);
    m_onArrival = [this](const Arrival& arrival) {
        if (!arrival.line.startsWith("TNT1"))
            return;
        m_fixture->dialogs().expectMessage(QStringLiteral("The comm port is closed"),
            QStringLiteral("Disconnect"), Answer::Ok, Dialogs::Buttons::Ok, Dialogs::Icon::None);
        QTimer::singleShot(0, button("close1"), &QAbstractButton::click);
    };
    send(m_environment.writeFile(QStringLiteral("three.TNT"), "TNT1\r\nTNT2\r\nTNT3\r\n"));

    QCOMPARE(m_arrivals.size(), 2);
    QCOMPARE(m_arrivals.at(0).line, QByteArray("TNT1"));
    QCOMPARE(m_arrivals.at(1).line, QByteArray("DIS"));
    QCOMPARE(m_fixture->dialogs().messages().size(), 1);
    QVERIFY(!button("Command1")->isVisible());
    QVERIFY(!m_window->findChild<QProgressBar*>("Progress")->isVisible());
    QCOMPARE(m_window->findChild<QProgressBar*>("Progress")->value(), 0);
    QVERIFY(m_window->cursor().shape() != Qt::WaitCursor);
}

void SendTest::closedPortSendsNothing()
{
    // A dump being logged is closed first; the closed port then ends it all silently.
    QVERIFY(openPort());
    const QString log = m_environment.filePath(QStringLiteral("log.TNT"));
    QFile::remove(log);
    m_fixture->dialogs().expectOpenFile(log);
    button("up_tnt")->setEnabled(true);
    QTest::mouseClick(button("up_tnt"), Qt::LeftButton);
    QVERIFY(m_window->logFileNumber() != 0);
    m_window->MSComm1().close();
    m_fixture->pty().take();

    button("sendfileg")->setEnabled(true);
    QTest::mouseClick(button("sendfileg"), Qt::LeftButton);
    QCOMPARE(m_window->logFileNumber(), 0);
    QVERIFY(!button("Command3")->isVisible());
    QCOMPARE(m_fixture->pty().drain(), QByteArray());
}

void SendTest::largeFileIsSentWhole()
{
    // More lines than a 16-bit count holds; an immediate tick keeps it quick.
    constexpr int Lines = 40000;
    QByteArray content;
    for (int i = 1; i <= Lines; ++i)
        content += "TNTDIR:" + QByteArray::number(i) + "\r\n";
    const QString path = m_environment.writeFile(QStringLiteral("large.TNT"), content);
    QVERIFY(openPort());
    const auto tick = Ticker::tickLength();
    Ticker::setTickLength(std::chrono::milliseconds(0));
    send(path);
    Ticker::setTickLength(tick);

    QCOMPARE(m_arrivals.size(), Lines);
    QCOMPARE(m_arrivals.constFirst().line, QByteArray("TNTDIR:1"));
    QCOMPARE(m_arrivals.constLast().line, QByteArray("TNTDIR:40000"));
    QCOMPARE(m_arrivals.constLast().progressMaximum, Lines);
    QCOMPARE(m_window->panelText(3), QStringLiteral("Send Record:  40000"));
    QCOMPARE(m_window->sentRecordCount(), Lines);
}

QTEST_MAIN(SendTest)
#include "tst_transfer_send.moc"
