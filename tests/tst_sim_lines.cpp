#include "ControllerSim.h"
#include "LineSplitter.h"

#include <QTest>

// How the simulator cuts the byte stream into lines and which lines it answers
// before and after the master code.
class SimLinesTest : public QObject
{
    Q_OBJECT

    static void answer(const char* name, const QByteArray& lines, const char* lastReply, bool programming)
    {
        QTest::newRow(name) << lines << QByteArray(lastReply) << programming;
    }

private slots:
    void splitsLines_data()
    {
        using Lines = QByteArrayList;
        QTest::addColumn<Lines>("chunks");
        QTest::addColumn<Lines>("lines");
        const QByteArray noise(LineSplitter::maxLineLength + 44, 'X');
        QTest::newRow("CR, LF, CR LF")
            << Lines { "COM\rPGM1234\nEND\r\n" } << Lines { "COM", "PGM1234", "END" };
        QTest::newRow("byte by byte")
            << Lines { "C", "OM\r", "\nPGM", "1234\r", "\n" } << Lines { "COM", "PGM1234" };
        QTest::newRow("LF CR is two ends") << Lines { "A\n\rB\r\n\r\n" } << Lines { "A", "", "B", "" };
        QTest::newRow("XON/XOFF dropped") << Lines { "\x13  CO\x11M \r\n" } << Lines { "  COM " };
        QTest::newRow("overlong line marked once")
            << Lines { noise, noise, "\r\nCOM\r\n" } << Lines { LineSplitter::overlongMarker(), "COM" };
    }

    void splitsLines()
    {
        QFETCH(QByteArrayList, chunks);
        QFETCH(QByteArrayList, lines);
        LineSplitter splitter;
        QByteArrayList got;
        for (const QByteArray& chunk : chunks)
            got += splitter.feed(chunk);
        QCOMPARE(got, lines);
    }

    void answers_data()
    {
        QTest::addColumn<QByteArray>("lines");
        QTest::addColumn<QByteArray>("lastReply");
        QTest::addColumn<bool>("programming");
        const char* refused = "SIM: NOT IN PROGRAMMING MODE";
        answer("greeting", "COM", "SIM: VESTIBAR CONTROLLER SIMULATOR READY", false);
        answer("help before the code", "HLP", "SIM: SIMULATED CONTROLLER", false);
        answer("record before the code", "TNTDIR:12TEL:555 NAME:J SMITH", refused, false);
        answer("blank line ignored", "   ", "", false);
        answer("overlong line", QByteArray(300, 'X'), "SIM: LINE TOO LONG, IGNORED\r\n", false);
        answer("right code", "PGM1234", "SIM: PROGRAMMING MODE ON\r\n", true);
        answer("wrong code", "PGM12345", "SIM: WRONG MASTER CODE", false);
        answer("lower-case keyword", "pgm1234", refused, false);
        answer("record stored", "PGM1234\nTNTDIR:12TEL:555 NAME:J SMITH", "SIM: TENANT 12 STORED\r\n", true);
        answer("END", "PGM1234\nEND", "SIM: PROGRAMMING MODE OFF\r\n", false);
    }

    void answers()
    {
        QFETCH(QByteArray, lines);
        QFETCH(QByteArray, lastReply);
        QFETCH(bool, programming);
        ControllerSim sim;
        QByteArray reply;
        for (const QByteArray& line : lines.split('\n'))
            reply = sim.feed(line + "\r\n");
        QVERIFY2(reply.startsWith(lastReply) && reply.isEmpty() == lastReply.isEmpty(), reply.constData());
        QCOMPARE(sim.inProgrammingMode(), programming);
        // Nothing refused may reach the memory.
        QCOMPARE(sim.state().records("TNT").size(), lastReply.contains("STORED") ? 1 : 0);
        QCOMPARE(sim.state().parameterLines().size(), 0);
    }
};

QTEST_MAIN(SimLinesTest)
#include "tst_sim_lines.moc"
