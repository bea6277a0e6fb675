#include "ControllerSim.h"
#include "StateFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// The simulator's saved memory: written and read back unchanged, the shipped demo
// state readable, bad lines skipped without losing the rest.
class SimStateTest : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip();
    void fromText_data();
    void fromText();
    void missingFileIsAnEmptyController();
    void demoStateLoadsCompletely();
    void eventsAreBounded();
};

void SimStateTest::roundTrip()
{
    ControllerSim sim([] { return QDateTime(QDate(2024, 3, 1), QTime(8, 30)); });
    sim.feed("PGM1234\r\nPARCHT 30\r\nPARMSG  HELLO \r\nPARPBXOFF 12\r\nPARCMC 4321\r\n"
             "TNTDIR:12TEL:555 NAME:J SMITH\r\n  TNTDIR:3TEL: NAME:\r\nACD 1234 NNNNN 1 N N 1 \r\n"
             "ATS 1 2 08:00 17:30 0 1 1 1 1 1 0 0\r\nHLD 03 12/05\r\nTMZ 1 08:00 17:00 1 1 1 1 1 0 0 0\r\n");
    QTemporaryDir dir;
    const QString path = dir.filePath("controller.state");
    QString error;
    QVERIFY2(StateFile::save(path, sim.state(), &error), qPrintable(error));

    ControllerSim loaded;
    QStringList skipped;
    QVERIFY2(StateFile::load(path, loaded.state(), &error, &skipped), qPrintable(error));
    QCOMPARE(skipped, QStringList());
    QCOMPARE(loaded.state().masterCode(), QByteArray("4321"));
    QCOMPARE(StateFile::toText(loaded.state()), StateFile::toText(sim.state()));
    QCOMPARE(loaded.feed("PGM4321\r\n"), QByteArray("SIM: PROGRAMMING MODE ON\r\n"));
    // Trailing and leading blanks of records and the message survive the file.
    const QByteArray dump = loaded.feed("PRIALL\r\n");
    QVERIFY(dump.contains("\r\nACD 1234 NNNNN 1 N N 1 \r\n"));
    QVERIFY(dump.contains("\r\n  TNTDIR:3TEL: NAME:\r\n"));
    QVERIFY(dump.startsWith("PARCHT 30\r\nPARMSG  HELLO \r\nPARPBXOFF 12\r\n"));
}

void SimStateTest::fromText_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<int>("skipped");

    QTest::newRow("CR LF lines, comments and blank lines")
        << QByteArray("# demo\r\n\r\nTNTDIR:1TEL:2 NAME:A\r\n") << QByteArray("TNTDIR:1TEL:2 NAME:A\n") << 0;
    QTest::newRow("no end on the last line")
        << QByteArray("HLD 01 01/01") << QByteArray("HLD 01 01/01\n") << 0;
    QTest::newRow("bad lines skipped, the rest kept")
        << QByteArray("GARBAGE\nTNTDIR:TEL: NAME:\nPARCHT X\nTNTDIR:5TEL:1 NAME:B\n")
        << QByteArray("TNTDIR:5TEL:1 NAME:B\n") << 3;
    QTest::newRow("later record with the same number wins")
        << QByteArray("TNTDIR:5TEL:1 NAME:OLD\nTNTDIR:5TEL:1 NAME:NEW\n")
        << QByteArray("TNTDIR:5TEL:1 NAME:NEW\n") << 0;
}

void SimStateTest::fromText()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, stored);
    QFETCH(int, skipped);
    ControllerState state;
    QCOMPARE(StateFile::fromText(text, state).size(), skipped);
    const QByteArray header
        = "# vestibar-sim state: parameters, records and events, one per line\nPARCMC 1234\n";
    QCOMPARE(StateFile::toText(state), header + stored);
}

void SimStateTest::missingFileIsAnEmptyController()
{
    QTemporaryDir dir;
    ControllerState state;
    QString error;
    QVERIFY(StateFile::load(dir.filePath("none.state"), state, &error));
    QCOMPARE(state.masterCode(), QByteArray("1234"));
    QCOMPARE(state.records("TNT").size(), 0);

    // A path that cannot be written reports failure instead of losing the state silently.
    QVERIFY(!StateFile::save(dir.filePath("no/such/folder/x.state"), state, &error));
    QVERIFY(!error.isEmpty());
}

void SimStateTest::demoStateLoadsCompletely()
{
    const QString path = QFINDTESTDATA("../sim/demo.state");
    QVERIFY(!path.isEmpty());
    ControllerState state;
    QStringList skipped;
    QVERIFY(StateFile::load(path, state, nullptr, &skipped));
    QCOMPARE(skipped, QStringList());
    QVERIFY(state.records("TNT").size() >= 3);
    QVERIFY(!state.events().isEmpty());
    QCOMPARE(state.masterCode(), QByteArray("1234"));
}

void SimStateTest::eventsAreBounded()
{
    ControllerState state;
    for (int i = 0; i < ControllerState::maxEvents + 10; ++i)
        state.addEvent("EVR 01/01/2024 00:00 " + QByteArray::number(i));
    QCOMPARE(state.events().size(), ControllerState::maxEvents);
    QCOMPARE(state.events().first(), QByteArray("EVR 01/01/2024 00:00 10"));
}

QTEST_MAIN(SimStateTest)
#include "tst_sim_state.moc"
