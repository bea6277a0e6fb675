#include "LinkSession.h"
#include "Pty.h"
#include "SettingsStore.h"
#include "TestEnvironment.h"

#include <QSignalSpy>
#include <QTest>

// The link session against real pseudo-terminals, left raw as by another program:
// what the far end reads is what counts.
class SerialPortTest : public QObject
{
    Q_OBJECT

    TestEnvironment environment;
    SettingsStore settings;

    // A session whose port 1 is the pty, opened as the tool opens it.
    std::unique_ptr<LinkSession> openOn(const Pty& pty)
    {
        settings.setValue(QStringLiteral("Ports"), QStringLiteral("COM1"), pty.slaveName());
        auto link = std::make_unique<LinkSession>(settings);
        link->setCommPort(1);
        link->setSettings(QStringLiteral("9600,N,8,1"));
        return link->open().ok() ? std::move(link) : nullptr;
    }

private slots:
    // Every byte value, a long line and a short one, the port closed and opened again
    // before each, as a command on the direct line does: every byte leaves, in order.
    void linesLeaveWholeAcrossRenewals()
    {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(char(b));
        const QByteArrayList lines { all, QByteArray(600, 'x') + "\r\n", "DIS\r\n" };
        Pty pty;
        auto link = openOn(pty);
        QVERIFY(link);
        QList<bool> sent;
        auto body = [&]() -> QCoro::Task<> {
            for (const QByteArray& line : lines) {
                co_await link->reopen();
                const bool left = co_await link->send(line);
                sent << left;
            }
        };
        auto task = body();
        QVERIFY(pty.waitFor(lines.join(), 10000));
        QTRY_COMPARE(sent, QList<bool>(3, true));
        QCOMPARE(pty.take(), lines.join());
    }

    // The device vanishes: that is reported once, whatever the dead device still
    // raises, and nothing more can be sent.
    void hangUpIsReportedOnce()
    {
        Pty pty;
        auto link = openOn(pty);
        QVERIFY(link);
        QSignalSpy lost(link.get(), &LinkSession::deviceLost);
        QSignalSpy errors(link.get(), &LinkSession::lineError);
        pty.closeMaster();
        QTRY_COMPARE(lost.count(), 1);
        QVERIFY(!link->portOpen());
        QTest::qWait(200);
        QCOMPARE(lost.count(), 1);
        QCOMPARE(errors.count(), 0);
        std::optional<bool> sent;
        auto body = [&]() -> QCoro::Task<> { sent = co_await link->send("DIS\r\n"); };
        auto task = body();
        QCOMPARE(sent, std::optional(false));
    }
};

QTEST_MAIN(SerialPortTest)
#include "tst_platform_serial.moc"
