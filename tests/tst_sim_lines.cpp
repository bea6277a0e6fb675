#include "ControllerSim.h"
#include "LineSplitter.h"

#include <QTest>

// How the simulator cuts the byte stream into lines and which lines it answers
// before and after the master code.
class SimLinesTest : public QObject
{
    Q_OBJECT

private slots:
    void splitsLines_data();
    void splitsLines();
    void overlongLineIsDroppedOnce();
    void answersOutsideProgrammingMode_data();
    void answersOutsideProgrammingMode();
    void masterCodeEntry_data();
    void masterCodeEntry();
    void unknownCommandInProgrammingMode();
    void fragmentedCommandsAnswerOnceComplete();
};

void SimLinesTest::splitsLines_data()
{
    QTest::addColumn<QByteArrayList>("chunks");
    QTest::addColumn<QByteArrayList>("lines");

    QTest::newRow("CR LF") << QByteArrayList { "COM\r\n" } << QByteArrayList { "COM" };
    QTest::newRow("bare CR") << QByteArrayList { "COM\rPGM1234\r" } << QByteArrayList { "COM", "PGM1234" };
    QTest::newRow("bare LF") << QByteArrayList { "COM\nPGM1234\n" } << QByteArrayList { "COM", "PGM1234" };
    QTest::newRow("CR and LF in separate chunks")
        << QByteArrayList { "COM\r", "\nPGM", "1234\r", "\n" } << QByteArrayList { "COM", "PGM1234" };
    QTest::newRow("one byte at a time") << QByteArrayList { "P", "A", "R", "C", "H", "T", " ", "5", "\r",
        "\n" } << QByteArrayList { "PARCHT 5" };
    QTest::newRow("LF CR is two ends") << QByteArrayList { "A\n\rB\r\n" } << QByteArrayList { "A", "", "B" };
    QTest::newRow("CR LF CR LF keeps the empty line")
        << QByteArrayList { "A\r\n\r\n" } << QByteArrayList { "A", "" };
    QTest::newRow("unfinished line waits") << QByteArrayList { "COM\r\nPGM12" } << QByteArrayList { "COM" };
    QTest::newRow("flow-control bytes dropped") << QByteArrayList { "\x13"
                                                                    "CO\x11M\r\n" }
                                                << QByteArrayList { "COM" };
    QTest::newRow("blanks kept") << QByteArrayList { "  ACD 1234 NNNNN 1 N N 1 \r\n" }
                                 << QByteArrayList { "  ACD 1234 NNNNN 1 N N 1 " };
}

void SimLinesTest::splitsLines()
{
    QFETCH(QByteArrayList, chunks);
    QFETCH(QByteArrayList, lines);
    LineSplitter splitter;
    QByteArrayList got;
    for (const QByteArray& chunk : chunks)
        got += splitter.feed(chunk);
    QCOMPARE(got, lines);
}

void SimLinesTest::overlongLineIsDroppedOnce()
{
    LineSplitter splitter;
    const QByteArray noise(LineSplitter::maxLineLength * 3, 'X');
    QCOMPARE(splitter.feed(noise.first(100)), QByteArrayList());
    QCOMPARE(splitter.feed(noise.sliced(100) + "\r\nCOM\r\n"),
        (QByteArrayList { LineSplitter::overlongMarker(), "COM" }));

    ControllerSim sim;
    const QByteArray reply = sim.feed(noise + "\r\n");
    QCOMPARE(reply, QByteArray("SIM: LINE TOO LONG, IGNORED\r\n"));
}

void SimLinesTest::answersOutsideProgrammingMode_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("replyStart");

    QTest::newRow("greeting") << QByteArray("COM") << QByteArray("SIM: VESTIBAR CONTROLLER SIMULATOR READY");
    QTest::newRow("help works before the code")
        << QByteArray("HLP") << QByteArray("SIM: SIMULATED CONTROLLER");
    QTest::newRow("record refused") << QByteArray("TNTDIR:12TEL:555 NAME:J SMITH")
                                    << QByteArray("SIM: NOT IN PROGRAMMING MODE");
    QTest::newRow("parameter refused")
        << QByteArray("PARCHT 5") << QByteArray("SIM: NOT IN PROGRAMMING MODE");
    QTest::newRow("clear refused") << QByteArray("KLR ATS") << QByteArray("SIM: NOT IN PROGRAMMING MODE");
    QTest::newRow("dump refused") << QByteArray("PRITNT") << QByteArray("SIM: NOT IN PROGRAMMING MODE");
    QTest::newRow("clock refused") << QByteArray("TIM 09 05") << QByteArray("SIM: NOT IN PROGRAMMING MODE");
    QTest::newRow("END refused") << QByteArray("END") << QByteArray("SIM: NOT IN PROGRAMMING MODE");
    QTest::newRow("unknown refused") << QByteArray("XYZ") << QByteArray("SIM: NOT IN PROGRAMMING MODE");
    QTest::newRow("disconnect") << QByteArray("DIS") << QByteArray("SIM: LINK CLOSED");
    QTest::newRow("empty line ignored") << QByteArray("") << QByteArray("");
    QTest::newRow("blank line ignored") << QByteArray("   ") << QByteArray("");
}

void SimLinesTest::answersOutsideProgrammingMode()
{
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, replyStart);
    ControllerSim sim;
    const QByteArray reply = sim.feed(line + "\r\n");
    QVERIFY2(reply.startsWith(replyStart), reply.constData());
    QCOMPARE(reply.isEmpty(), replyStart.isEmpty());
    if (!reply.isEmpty())
        QVERIFY(reply.endsWith("\r\n"));
    QVERIFY(!sim.inProgrammingMode());
    // Nothing refused may have reached the memory.
    QCOMPARE(sim.state().records("TNT").size(), 0);
    QCOMPARE(sim.state().parameterLines().size(), 0);
}

void SimLinesTest::masterCodeEntry_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("right code") << QByteArray("PGM1234") << true;
    QTest::newRow("blank before the code tolerated") << QByteArray("PGM 1234") << true;
    QTest::newRow("wrong code") << QByteArray("PGM4321") << false;
    QTest::newRow("short code") << QByteArray("PGM123") << false;
    QTest::newRow("long code") << QByteArray("PGM12345") << false;
    QTest::newRow("no code") << QByteArray("PGM") << false;
    QTest::newRow("lower case keyword") << QByteArray("pgm1234") << false;
}

void SimLinesTest::masterCodeEntry()
{
    QFETCH(QByteArray, line);
    QFETCH(bool, accepted);
    ControllerSim sim;
    const QByteArray reply = sim.feed(line + "\r\n");
    QCOMPARE(sim.inProgrammingMode(), accepted);
    if (accepted)
        QCOMPARE(reply, QByteArray("SIM: PROGRAMMING MODE ON\r\n"));
    else
        QVERIFY2(reply.startsWith("SIM: WRONG MASTER CODE") || reply.startsWith("SIM: NOT IN PROGRAMMING"),
            reply.constData());
}

void SimLinesTest::unknownCommandInProgrammingMode()
{
    ControllerSim sim;
    sim.feed("PGM1234\r\n");
    QCOMPARE(sim.feed("FOO BAR\r\n"), QByteArray("SIM: UNKNOWN COMMAND FOO\r\n"));
    QCOMPARE(sim.feed("PARXYZ 1\r\n"), QByteArray("SIM: UNKNOWN COMMAND PARXYZ\r\n"));
    QCOMPARE(sim.feed("PRIXYZ\r\n"), QByteArray("SIM: UNKNOWN COMMAND PRIXYZ\r\n"));
    QVERIFY(sim.inProgrammingMode());
}

void SimLinesTest::fragmentedCommandsAnswerOnceComplete()
{
    ControllerSim sim;
    QCOMPARE(sim.feed("PG"), QByteArray());
    QCOMPARE(sim.feed("M12"), QByteArray());
    QCOMPARE(sim.feed("34\r"), QByteArray("SIM: PROGRAMMING MODE ON\r\n"));
    // The LF of that CR LF arrives with the next command and is not an empty line.
    QCOMPARE(sim.feed("\nEND\r\n"), QByteArray("SIM: PROGRAMMING MODE OFF\r\n"));
}

QTEST_MAIN(SimLinesTest)
#include "tst_sim_lines.moc"
