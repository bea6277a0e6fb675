#include "ControllerSim.h"
#include "ModemFront.h"

#include <QTest>

// The modem in front of the simulated controller: AT commands, the dial, the
// connection and the hang-up on "DIS".
class SimModemTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void commandMode_data();
    void commandMode();
    void dialConnectsAfterTheDelay();
    void linesBeforeTheCarrierAreLost();
    void disconnectHangsUp();

private:
    // Dials and lets the delay pass; returns what the modem said.
    QByteArray dialAndConnect();

    QDateTime m_time;
    std::unique_ptr<ControllerSim> m_controller;
    std::unique_ptr<ModemFront> m_modem;
};

void SimModemTest::init()
{
    m_time = QDateTime(QDate(2024, 3, 1), QTime(12, 0));
    auto clock = [this] { return m_time; };
    m_controller = std::make_unique<ControllerSim>(clock);
    m_modem = std::make_unique<ModemFront>(*m_controller, clock, 1500);
}

QByteArray SimModemTest::dialAndConnect()
{
    m_modem->feed("ATDT5551234\r\n");
    m_time = m_time.addMSecs(1500);
    return m_modem->poll();
}

void SimModemTest::commandMode_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("reply");

    QTest::newRow("set-up string") << QByteArray("AT&F E0 V1 S0=0\r\n") << QByteArray("OK\r\n");
    QTest::newRow("lower case") << QByteArray("atz\r") << QByteArray("OK\r\n");
    QTest::newRow("plain AT, bare LF") << QByteArray("AT\n") << QByteArray("OK\r\n");
    QTest::newRow("empty set-up string is ignored") << QByteArray("\r\n") << QByteArray();
    QTest::newRow("controller command before dialling") << QByteArray("COM\r\n") << QByteArray("ERROR\r\n");
    QTest::newRow("dial without a number") << QByteArray("ATDT\r\n") << QByteArray("NO DIALTONE\r\n");
    QTest::newRow("fragmented") << QByteArray("A") << QByteArray();
}

void SimModemTest::commandMode()
{
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, reply);
    QCOMPARE(m_modem->feed(input), reply);
    QVERIFY(!m_modem->isOnline());
    QCOMPARE(m_modem->msUntilDue(), std::nullopt);
}

void SimModemTest::dialConnectsAfterTheDelay()
{
    QCOMPARE(m_modem->feed("AT&F\r\nATDT"), QByteArray("OK\r\n"));
    QCOMPARE(m_modem->feed("5551234\r\n"), QByteArray());
    QCOMPARE(m_modem->msUntilDue(), std::optional<qint64>(1500));
    m_time = m_time.addMSecs(1000);
    QCOMPARE(m_modem->poll(), QByteArray());
    QCOMPARE(m_modem->msUntilDue(), std::optional<qint64>(500));
    m_time = m_time.addMSecs(500);
    QCOMPARE(m_modem->poll(), "CONNECT 1200\r\n" + m_controller->greeting());
    QVERIFY(m_modem->isOnline());
    QCOMPARE(m_modem->poll(), QByteArray());

    // Online, the lines reach the controller.
    QCOMPARE(m_modem->feed("PGM1234\r\n"), QByteArray("SIM: PROGRAMMING MODE ON\r\n"));
    QCOMPARE(m_modem->feed("AT\r\n"), QByteArray("SIM: UNKNOWN COMMAND AT\r\n"));
}

void SimModemTest::linesBeforeTheCarrierAreLost()
{
    m_modem->feed("ATDP42\r\n");
    QCOMPARE(m_modem->feed("PGM1234\r\n"), QByteArray());
    m_time = m_time.addSecs(2);
    QVERIFY(m_modem->poll().startsWith("CONNECT 1200\r\n"));
    QVERIFY(!m_controller->inProgrammingMode());
}

void SimModemTest::disconnectHangsUp()
{
    QVERIFY(dialAndConnect().startsWith("CONNECT 1200"));
    m_modem->feed("PGM1234\r\n");
    QCOMPARE(m_modem->feed("DIS\r\n"), QByteArray("SIM: LINK CLOSED, GOODBYE\r\nNO CARRIER\r\n"));
    QVERIFY(!m_modem->isOnline());
    QVERIFY(!m_controller->inProgrammingMode());
    // Back in command mode, and a new call works.
    QCOMPARE(m_modem->feed("AT\r\n"), QByteArray("OK\r\n"));
    QVERIFY(dialAndConnect().startsWith("CONNECT 1200"));
}

QTEST_MAIN(SimModemTest)
#include "tst_sim_modem.moc"
