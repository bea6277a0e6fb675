#include "ControllerSim.h"
#include "LineSplitter.h"

#include <QTest>

// How the simulator cuts the byte stream into lines and which lines it answers
// before and after the master code.
class SimLinesTest : public QObject
{
    Q_OBJECT

private slots:
    void answers_data()
    {
        QTest::addColumn<QByteArrayList>("chunks");
        QTest::addColumn<QByteArray>("replies");
        QTest::addColumn<bool>("programming");
        const QByteArray refused("SIM: NOT IN PROGRAMMING MODE, SEND PGM AND THE MASTER CODE FIRST\r\n");
        const QByteArray noise(LineSplitter::maxLineLength + 44, 'X');
        QTest::newRow("record before the code")
            << QByteArrayList { "TNTDIR:12TEL:555 NAME:J SMITH\r\n" } << refused << false;
        QTest::newRow("lower-case keyword") << QByteArrayList { "pgm1234\r\n" } << refused << false;
        QTest::newRow("blank line ignored") << QByteArrayList { "   \r\n" } << QByteArray() << false;
        QTest::newRow("code with a fifth digit")
            << QByteArrayList { "PGM12345\r\n" } << QByteArray("SIM: WRONG MASTER CODE, ACCESS REFUSED\r\n")
            << false;
        QTest::newRow("overlong line, said once")
            << QByteArrayList { noise, noise, "\r\nPGM1234\r" }
            << QByteArray("SIM: LINE TOO LONG, IGNORED\r\nSIM: PROGRAMMING MODE ON\r\n") << true;
        // Lines end at CR, LF or CR LF, in any pieces; XOFF (\x13) and XON (\021) are no
        // part of them.
        QTest::newRow("a run in pieces")
            << QByteArrayList { "\x13PG", "M12\02134\r", "\nTNTDIR:12TEL:555 NAME:J SMITH\n", "END\r\n" }
            << QByteArray(
                   "SIM: PROGRAMMING MODE ON\r\nSIM: TENANT 12 STORED\r\nSIM: PROGRAMMING MODE OFF\r\n")
            << false;
    }

    void answers()
    {
        QFETCH(QByteArrayList, chunks);
        QFETCH(QByteArray, replies);
        QFETCH(bool, programming);
        ControllerSim sim;
        QByteArray got;
        for (const QByteArray& chunk : chunks)
            got += sim.feed(chunk);
        QCOMPARE(got, replies);
        QCOMPARE(sim.inProgrammingMode(), programming);
        // Nothing refused may reach the memory.
        QCOMPARE(sim.state().records("TNT").size(), replies.contains("STORED") ? 1 : 0);
        QCOMPARE(sim.state().parameterLines().size(), 0);
    }
};

QTEST_MAIN(SimLinesTest)
#include "tst_sim_lines.moc"
