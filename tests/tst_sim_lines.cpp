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
    void answers_data();
    void answers();
};

void SimLinesTest::splitsLines_data()
{
    QTest::addColumn<QByteArrayList>("chunks");
    QTest::addColumn<QByteArrayList>("lines");

    QTest::newRow("CR, LF and CR LF")
        << QByteArrayList { "COM\rPGM1234\nEND\r\n" } << QByteArrayList { "COM", "PGM1234", "END" };
    QTest::newRow("CR and LF in separate chunks, one byte at a time")
        << QByteArrayList { "C", "OM\r", "\nPGM", "1234\r", "\n" } << QByteArrayList { "COM", "PGM1234" };
    QTest::newRow("LF CR is two ends, CR LF CR LF keeps the empty line")
        << QByteArrayList { "A\n\rB\r\n\r\n" } << QByteArrayList { "A", "", "B", "" };
    QTest::newRow("unfinished line waits") << QByteArrayList { "COM\r\nPGM12" } << QByteArrayList { "COM" };
    QTest::newRow("flow-control bytes dropped, blanks kept")
        << QByteArrayList { "\x13  CO\x11M \r\n" } << QByteArrayList { "  COM " };
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
    ControllerSim sim;
    const QByteArray noise(LineSplitter::maxLineLength * 3, 'X');
    QCOMPARE(sim.feed(noise.first(100)), QByteArray());
    QCOMPARE(sim.feed(noise.sliced(100) + "\r\nCOM\r\n").left(37),
        QByteArray("SIM: LINE TOO LONG, IGNORED\r\nSIM: VES"));
}

void SimLinesTest::answers_data()
{
    QTest::addColumn<QByteArray>("lines");
    QTest::addColumn<QByteArray>("lastReplyStart");
    QTest::addColumn<bool>("programming");

    const QByteArray refused("SIM: NOT IN PROGRAMMING MODE");
    QTest::newRow("greeting") << QByteArray("COM") << QByteArray("SIM: VESTIBAR CONTROLLER SIMULATOR READY")
                              << false;
    QTest::newRow("help before the code")
        << QByteArray("HLP") << QByteArray("SIM: SIMULATED CONTROLLER") << false;
    QTest::newRow("record before the code")
        << QByteArray("TNTDIR:12TEL:555 NAME:J SMITH") << refused << false;
    QTest::newRow("parameter before the code") << QByteArray("PARCHT 5") << refused << false;
    QTest::newRow("dump before the code") << QByteArray("PRITNT") << refused << false;
    QTest::newRow("empty line ignored") << QByteArray("   ") << QByteArray() << false;
    QTest::newRow("right code") << QByteArray("PGM1234") << QByteArray("SIM: PROGRAMMING MODE ON\r\n")
                                << true;
    QTest::newRow("wrong code") << QByteArray("PGM4321") << QByteArray("SIM: WRONG MASTER CODE") << false;
    QTest::newRow("long code") << QByteArray("PGM12345") << QByteArray("SIM: WRONG MASTER CODE") << false;
    QTest::newRow("lower-case keyword") << QByteArray("pgm1234") << refused << false;
    QTest::newRow("record stored") << QByteArray("PGM1234\nTNTDIR:12TEL:555 NAME:J SMITH")
                                   << QByteArray("SIM: TENANT 12 STORED\r\n") << true;
    QTest::newRow("END") << QByteArray("PGM1234\nEND") << QByteArray("SIM: PROGRAMMING MODE OFF\r\n")
                         << false;
}

void SimLinesTest::answers()
{
    QFETCH(QByteArray, lines);
    QFETCH(QByteArray, lastReplyStart);
    QFETCH(bool, programming);
    ControllerSim sim;
    QByteArray reply;
    for (const QByteArray& line : lines.split('\n'))
        reply = sim.feed(line + "\r\n");
    QVERIFY2(reply.startsWith(lastReplyStart), reply.constData());
    QCOMPARE(reply.isEmpty(), lastReplyStart.isEmpty());
    QCOMPARE(sim.inProgrammingMode(), programming);
    // Nothing refused may reach the memory.
    QCOMPARE(sim.state().records("TNT").size(), lastReplyStart.contains("STORED") ? 1 : 0);
    QCOMPARE(sim.state().parameterLines().size(), 0);
}

QTEST_MAIN(SimLinesTest)
#include "tst_sim_lines.moc"
