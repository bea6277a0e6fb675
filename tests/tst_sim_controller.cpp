#include "ControllerSim.h"

#include <QTest>

#include <algorithm>

namespace {

// The lines of a dump that are not the simulator's own remarks.
QByteArrayList storedLines(const QByteArray& dump)
{
    QByteArrayList lines;
    for (const QByteArray& line : dump.split('\n')) {
        if (line.isEmpty())
            continue;
        const QByteArray text = line.endsWith('\r') ? line.chopped(1) : line;
        if (!text.startsWith("SIM:"))
            lines.append(text);
    }
    return lines;
}

} // namespace

// The simulated controller's memory as the tool's commands reach it: records stored
// and dumped back, clears, parameters and the clock.
class SimControllerTest : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void recordsDumpedBackExactly_data();
    void recordsDumpedBackExactly();
    void sameNumberReplacesInPlace();
    void recordsWithoutNumberRefused_data();
    void recordsWithoutNumberRefused();

    void clears_data();
    void clears();
    void eventClear();

    void parameters_data();
    void parameters();
    void newMasterCode_data();
    void newMasterCode();

    void clock_data();
    void clock();

    void fullDumpListsEverything();
    void endAndDisconnectLeaveProgrammingMode();

private:
    QDateTime m_hostTime;
    std::unique_ptr<ControllerSim> m_sim;
};

void SimControllerTest::init()
{
    m_hostTime = QDateTime(QDate(2002, 2, 22), QTime(9, 5));
    m_sim = std::make_unique<ControllerSim>([this] { return m_hostTime; });
    QCOMPARE(m_sim->feed("PGM1234\r\n"), QByteArray("SIM: PROGRAMMING MODE ON\r\n"));
}

void SimControllerTest::recordsDumpedBackExactly_data()
{
    QTest::addColumn<QByteArray>("dumpCommand");
    QTest::addColumn<QByteArrayList>("records");

    QTest::newRow("tenants") << QByteArray("PRITNT")
                             << QByteArrayList { "TNTDIR:12TEL:555 NAME:J SMITH",
                                    "TNTDIR:0042TEL:5551234 NAME:A  B", "TNTDIR:7TEL: NAME:" };
    QTest::newRow("tenant with leading blanks kept")
        << QByteArray("PRITNT") << QByteArrayList { "  TNTDIR:3TEL:1 NAME:X" };
    QTest::newRow("access codes, empty name keeps its blank")
        << QByteArray("PRIACD")
        << QByteArrayList { "ACD 1234 00042 1 2 N 1 J SMITH", "ACD 0000 NNNNN 3 N N 2 ",
               "ACD 5555 00007 1   3 N 1 " };
    QTest::newRow("auto schedules") << QByteArray(
        "PRIATS") << QByteArrayList { "ATS 1 2 08:00 17:30 0 1 1 1 1 1 0 0", "ATS 2 1 : : 1 0 1" };
    QTest::newRow("holidays") << QByteArray("PRIHLD") << QByteArrayList { "HLD 03 12/05", "HLD 16 01/01" };
    QTest::newRow("time zones") << QByteArray("PRITMZ")
                                << QByteArrayList { "TMZ 1 08:00 17:00 1 1 1 1 1 0 0 0", "TMZ 0 : : " };
}

void SimControllerTest::recordsDumpedBackExactly()
{
    QFETCH(QByteArray, dumpCommand);
    QFETCH(QByteArrayList, records);
    for (const QByteArray& record : records) {
        const QByteArray reply = m_sim->feed(record + "\r\n");
        QVERIFY2(reply.endsWith(" STORED\r\n"), reply.constData());
    }
    const QByteArray dump = m_sim->feed(dumpCommand + "\r\n");
    QCOMPARE(storedLines(dump), records);
    QVERIFY2(dump.endsWith(", RECORDS: " + QByteArray::number(records.size()) + "\r\n"), dump.constData());
    QVERIFY(m_sim->takeChanged());

    // Other databases stay empty.
    const QByteArray other = dumpCommand == "PRIHLD" ? "PRITMZ" : "PRIHLD";
    QCOMPARE(storedLines(m_sim->feed(other + "\r\n")), QByteArrayList());
}

void SimControllerTest::sameNumberReplacesInPlace()
{
    m_sim->feed("TNTDIR:1TEL:1 NAME:FIRST\r\nTNTDIR:2TEL:2 NAME:SECOND\r\n");
    // Numbers compare as numbers: 0001 is tenant 1.
    QCOMPARE(m_sim->feed("TNTDIR:0001TEL:9 NAME:NEW\r\n"), QByteArray("SIM: TENANT 1 REPLACED\r\n"));
    QCOMPARE(storedLines(m_sim->feed("PRITNT\r\n")),
        (QByteArrayList { "TNTDIR:0001TEL:9 NAME:NEW", "TNTDIR:2TEL:2 NAME:SECOND" }));
}

void SimControllerTest::recordsWithoutNumberRefused_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("tenant without directory") << QByteArray("TNTDIR:TEL: NAME:");
    QTest::newRow("tenant without TEL field") << QByteArray("TNTDIR:12 NAME:X");
    QTest::newRow("access code glued to its kind") << QByteArray("ACD1234 NNNNN 1 N N 1 ");
    QTest::newRow("schedule without number") << QByteArray("ATS   : : ");
    QTest::newRow("holiday without number") << QByteArray("HLD  /");
    QTest::newRow("number too long") << QByteArray("HLD 1234567890 01/01");
}

void SimControllerTest::recordsWithoutNumberRefused()
{
    QFETCH(QByteArray, line);
    const QByteArray reply = m_sim->feed(line + "\r\n");
    QVERIFY2(reply.contains(" LINE REFUSED, NO "), reply.constData());
    const QByteArrayList stored = storedLines(m_sim->feed("PRIALL\r\n"));
    QVERIFY(std::none_of(
        stored.begin(), stored.end(), [&](const QByteArray& l) { return l.startsWith(line.left(3)); }));
}

void SimControllerTest::clears_data()
{
    QTest::addColumn<QByteArrayList>("records");
    QTest::addColumn<QByteArray>("clear");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QByteArrayList>("left");

    const QByteArrayList tenants { "TNTDIR:12TEL:1 NAME:A", "TNTDIR:13TEL:2 NAME:B" };
    const QByteArrayList codes { "ACD 1234 NNNNN 1 N N 1 ", "ACD 0042 NNNNN 1 N N 1 " };
    QTest::newRow("one tenant") << tenants << QByteArray("CLR TNT 12")
                                << QByteArray("SIM: TNT 12 DELETED\r\n") << QByteArrayList { tenants[1] };
    QTest::newRow("one access code, unpadded number")
        << codes << QByteArray("KLR ACD 42") << QByteArray("SIM: ACD 42 DELETED\r\n")
        << QByteArrayList { codes[0] };
    QTest::newRow("tenant not there")
        << tenants << QByteArray("CLR TNT 99") << QByteArray("SIM: TNT 99 NOT FOUND\r\n") << tenants;
    QTest::newRow("0 clears all tenants")
        << tenants << QByteArray("CLR TNT 0") << QByteArray("SIM: TNT CLEARED, 2 DELETED\r\n")
        << QByteArrayList();
    QTest::newRow("0000 clears all access codes")
        << codes << QByteArray("KLR ACD 0000") << QByteArray("SIM: ACD CLEARED, 2 DELETED\r\n")
        << QByteArrayList();
    QTest::newRow("single-entry clear without number keeps everything")
        << codes << QByteArray("KLR ACD") << QByteArray("SIM: ACD CLEAR NEEDS A NUMBER, 0 CLEARS ALL\r\n")
        << codes;
    QTest::newRow("letters are not a number")
        << codes << QByteArray("KLR ACD 12A4") << QByteArray("SIM: CLEAR NOT UNDERSTOOD\r\n") << codes;
    QTest::newRow("whole holiday database")
        << QByteArrayList { "HLD 01 01/01", "HLD 02 12/25" } << QByteArray("KLR HLD")
        << QByteArray("SIM: HLD CLEARED, 2 DELETED\r\n") << QByteArrayList();
    QTest::newRow("whole schedule database")
        << QByteArrayList { "ATS 1 1 08:00 09:00 1 1 1 1 1 1 1 1" } << QByteArray("KLR ATS")
        << QByteArray("SIM: ATS CLEARED, 1 DELETED\r\n") << QByteArrayList();
    QTest::newRow("whole time-zone database, either prefix")
        << QByteArrayList { "TMZ 1 08:00 17:00 1 1 1 1 1 0 0 0" } << QByteArray("CLR TMZ")
        << QByteArray("SIM: TMZ CLEARED, 1 DELETED\r\n") << QByteArrayList();
    QTest::newRow("clearing one kind leaves another")
        << QByteArrayList { "HLD 01 01/01", "TMZ 1 08:00 17:00 1 1 1 1 1 0 0 0" } << QByteArray("KLR HLD")
        << QByteArray("SIM: HLD CLEARED, 1 DELETED\r\n")
        << QByteArrayList { "TMZ 1 08:00 17:00 1 1 1 1 1 0 0 0" };
}

void SimControllerTest::clears()
{
    QFETCH(QByteArrayList, records);
    QFETCH(QByteArray, clear);
    QFETCH(QByteArray, reply);
    QFETCH(QByteArrayList, left);
    for (const QByteArray& record : records)
        m_sim->feed(record + "\r\n");
    QCOMPARE(m_sim->feed(clear + "\r\n"), reply);
    QByteArrayList dumped = storedLines(m_sim->feed("PRIALL\r\n"));
    dumped.removeIf([](const QByteArray& line) { return line.startsWith("EVR"); });
    QCOMPARE(dumped, left);
}

void SimControllerTest::eventClear()
{
    m_sim->feed("PGM9999\r\n"); // a wrong code is an event too
    QVERIFY(storedLines(m_sim->feed("PRIEVR\r\n")).size() >= 2);
    QCOMPARE(m_sim->feed("KLR EVR 3\r\n"), QByteArray("SIM: EVR CAN ONLY BE CLEARED AS A WHOLE\r\n"));
    const QByteArray reply = m_sim->feed("KLR EVR\r\n");
    QVERIFY2(reply.startsWith("SIM: EVR CLEARED"), reply.constData());
    QCOMPARE(m_sim->feed("PRIEVR\r\n"), QByteArray("SIM: END OF EVR, RECORDS: 0\r\n"));
}

void SimControllerTest::parameters_data()
{
    QTest::addColumn<QByteArrayList>("commands");
    QTest::addColumn<QByteArrayList>("dump");

    QTest::newRow("value as typed, not padded")
        << QByteArrayList { "PARCHT 7", "PARDOT1 05" } << QByteArrayList { "PARCHT 7", "PARDOT1 05" };
    QTest::newRow("dumped in table order")
        << QByteArrayList { "PARLMO 2", "PARFCN 123" } << QByteArrayList { "PARFCN 123", "PARLMO 2" };
    QTest::newRow("later value wins")
        << QByteArrayList { "PARCLT 3", "PARCLT 5" } << QByteArrayList { "PARCLT 5" };
    QTest::newRow("empty value refused, old one kept")
        << QByteArrayList { "PARCLT 3", "PARCLT " } << QByteArrayList { "PARCLT 3" };
    QTest::newRow("letters refused for a number") << QByteArrayList { "PARCHT 1A" } << QByteArrayList();
    QTest::newRow("message keeps inner and leading blanks")
        << QByteArrayList { "PARMSG  WELCOME  HOME" } << QByteArrayList { "PARMSG  WELCOME  HOME" };
    QTest::newRow("empty message refused") << QByteArrayList { "PARMSG " } << QByteArrayList();
    QTest::newRow("switch pair: last one wins")
        << QByteArrayList { "PARPDL", "PARTDL" } << QByteArrayList { "PARTDL" };
    QTest::newRow("PBX off carries the hour, empty allowed")
        << QByteArrayList { "PARPBXON", "PARPBXOFF 12" } << QByteArrayList { "PARPBXOFF 12" };
    QTest::newRow("PBX off with an empty value")
        << QByteArrayList { "PARPBXOFF " } << QByteArrayList { "PARPBXOFF" };
    QTest::newRow("switches refuse a value") << QByteArrayList { "PARCONM 1" } << QByteArrayList();
    QTest::newRow("every switch group") << QByteArrayList { "PAROWRON", "PARCONS", "PARPDL", "PARPBXON" }
                                        << QByteArrayList { "PARPBXON", "PARPDL", "PARCONS", "PAROWRON" };
}

void SimControllerTest::parameters()
{
    QFETCH(QByteArrayList, commands);
    QFETCH(QByteArrayList, dump);
    for (const QByteArray& command : commands)
        m_sim->feed(command + "\r\n");
    QCOMPARE(storedLines(m_sim->feed("PRIPAR\r\n")), dump);
}

void SimControllerTest::newMasterCode_data()
{
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QByteArray>("codeAfter");

    QTest::newRow("four digits") << QByteArray("PARCMC 5678") << QByteArray("5678");
    // The tool's master-code box takes four digits only: any other code would lock it out.
    QTest::newRow("letters refused") << QByteArray("PARCMC AB12") << QByteArray("1234");
    QTest::newRow("three digits refused") << QByteArray("PARCMC 567") << QByteArray("1234");
    QTest::newRow("empty refused") << QByteArray("PARCMC ") << QByteArray("1234");
}

void SimControllerTest::newMasterCode()
{
    QFETCH(QByteArray, command);
    QFETCH(QByteArray, codeAfter);
    m_sim->feed(command + "\r\n");
    m_sim->feed("END\r\n");
    QCOMPARE(m_sim->feed("PGM" + codeAfter + "\r\n"), QByteArray("SIM: PROGRAMMING MODE ON\r\n"));
    // The code never shows in a dump.
    QVERIFY(!m_sim->feed("PRIALL\r\n").contains("PARCMC"));
}

void SimControllerTest::clock_data()
{
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QDateTime>("controllerTime");

    const QDateTime host(QDate(2002, 2, 22), QTime(9, 5));
    QTest::newRow("time") << QByteArray("TIM 23 59") << QByteArray("SIM: TIME SET TO 23:59\r\n")
                          << QDateTime(QDate(2002, 2, 22), QTime(23, 59));
    QTest::newRow("midnight") << QByteArray("TIM 00 00") << QByteArray("SIM: TIME SET TO 00:00\r\n")
                              << QDateTime(QDate(2002, 2, 22), QTime(0, 0));
    QTest::newRow("hour out of range")
        << QByteArray("TIM 24 00") << QByteArray("SIM: TIME REFUSED, USE TIM hh mm\r\n") << host;
    QTest::newRow("date, Sunday is 7")
        << QByteArray("DAT 03 10 2024 7") << QByteArray("SIM: DATE SET TO 03/10/2024\r\n")
        << QDateTime(QDate(2024, 3, 10), QTime(9, 5));
    QTest::newRow("date, Monday is 1")
        << QByteArray("DAT 03 11 2024 1") << QByteArray("SIM: DATE SET TO 03/11/2024\r\n")
        << QDateTime(QDate(2024, 3, 11), QTime(9, 5));
    const QByteArray dateRefused("SIM: DATE REFUSED, USE DAT mm dd yyyy w WITH 1 = MONDAY\r\n");
    QTest::newRow("weekday disagrees") << QByteArray("DAT 03 11 2024 7") << dateRefused << host;
    QTest::newRow("day first is refused") << QByteArray("DAT 22 02 2002 5") << dateRefused << host;
    QTest::newRow("29 February of a leap year")
        << QByteArray("DAT 02 29 2024 4") << QByteArray("SIM: DATE SET TO 02/29/2024\r\n")
        << QDateTime(QDate(2024, 2, 29), QTime(9, 5));
    QTest::newRow("29 February otherwise") << QByteArray("DAT 02 29 2023 3") << dateRefused << host;
}

void SimControllerTest::clock()
{
    QFETCH(QByteArray, command);
    QFETCH(QByteArray, reply);
    QFETCH(QDateTime, controllerTime);
    QCOMPARE(m_sim->feed(command + "\r\n"), reply);
    QCOMPARE(m_sim->now(), controllerTime);
    // The controller's clock runs on with the host's.
    m_hostTime = m_hostTime.addSecs(60);
    QCOMPARE(m_sim->now(), controllerTime.addSecs(60));
}

void SimControllerTest::fullDumpListsEverything()
{
    m_sim->feed("PARCHT 30\r\nTNTDIR:1TEL:2 NAME:A\r\nACD 1111 NNNNN 1 N N 1 \r\nATS 1 1 08:00 09:00 1 1 1 1 "
                "1 1 1 1\r\n"
                "HLD 01 01/01\r\nTMZ 1 08:00 17:00 1 1 1 1 1 0 0 0\r\n");
    const QByteArrayList lines = storedLines(m_sim->feed("PRIALL\r\n"));
    QCOMPARE(lines.mid(0, 6),
        (QByteArrayList { "PARCHT 30", "TNTDIR:1TEL:2 NAME:A", "ACD 1111 NNNNN 1 N N 1 ",
            "ATS 1 1 08:00 09:00 1 1 1 1 1 1 1 1", "HLD 01 01/01", "TMZ 1 08:00 17:00 1 1 1 1 1 0 0 0" }));
    QCOMPARE(lines.mid(6), (QByteArrayList { "EVR 02/22/2002 09:05 PROGRAMMING MODE ON" }));
}

void SimControllerTest::endAndDisconnectLeaveProgrammingMode()
{
    QCOMPARE(m_sim->feed("END\r\n"), QByteArray("SIM: PROGRAMMING MODE OFF\r\n"));
    QVERIFY(!m_sim->inProgrammingMode());
    m_sim->feed("PGM1234\r\n");
    QCOMPARE(m_sim->feed("DIS\r\n"), QByteArray("SIM: LINK CLOSED, GOODBYE\r\n"));
    QVERIFY(!m_sim->inProgrammingMode());
    QVERIFY(m_sim->takeDisconnect());
    QVERIFY(!m_sim->takeDisconnect());
    QVERIFY(m_sim->feed("PARCHT 5\r\n").startsWith("SIM: NOT IN PROGRAMMING MODE"));
}

QTEST_MAIN(SimControllerTest)
#include "tst_sim_controller.moc"
