#include "TestEnvironment.h"
#include "Ticker.h"

#include <QTest>
#include <QTimer>

using namespace std::chrono_literals;

class TickerTest : public QObject
{
    Q_OBJECT

private:
    TestEnvironment environment { 5ms };

private slots:
    void waitEndsOnTheRightTick_data()
    {
        QTest::addColumn<int>("ticksNeeded");
        QTest::newRow("first tick") << 1;
        QTest::newRow("third tick") << 3;
        QTest::newRow("tenth tick") << 10;
    }

    void waitEndsOnTheRightTick()
    {
        QFETCH(int, ticksNeeded);
        Ticker ticker;
        int ticks = 0;
        // Connected before the wait, as the window's own tick handler is.
        connect(&ticker, &Ticker::ticked, this, [&] { ++ticks; });
        ticker.start();
        QVERIFY(ticker.waitUntil([&] { return ticks >= ticksNeeded; }));
        QCOMPARE(ticks, ticksNeeded);
        QCOMPARE(ticker.activeWaits(), 0);
    }

    void waitStartsAStoppedTicker()
    {
        Ticker ticker;
        int ticks = 0;
        connect(&ticker, &Ticker::ticked, this, [&] { ++ticks; });
        QVERIFY(!ticker.isActive());
        QVERIFY(ticker.waitUntil([&] { return ticks >= 2; }));
        QCOMPARE(ticks, 2);
    }

    void abortEndsEveryWait()
    {
        Ticker ticker;
        ticker.start();
        bool innerResult = true;
        bool innerEnded = false;
        // A second wait nested in the first, as a click during a wait can start.
        QTimer::singleShot(0, this, [&] {
            innerResult = ticker.waitUntil([] { return false; });
            innerEnded = true;
        });
        int ticks = 0;
        connect(&ticker, &Ticker::ticked, this, [&] {
            if (++ticks == 3)
                ticker.abortWaits();
        });
        QCOMPARE(ticker.waitUntil([] { return false; }), false);
        QVERIFY(innerEnded);
        QCOMPARE(innerResult, false);
        QCOMPARE(ticker.activeWaits(), 0);

        // A wait started after the abort runs normally.
        const int start = ticks;
        QVERIFY(ticker.waitUntil([&] { return ticks >= start + 2; }));
    }

    void eventsRunDuringAWait()
    {
        Ticker ticker;
        ticker.start();
        bool fired = false;
        QTimer::singleShot(0, this, [&] { fired = true; });
        int ticks = 0;
        connect(&ticker, &Ticker::ticked, this, [&] { ++ticks; });
        QVERIFY(ticker.waitUntil([&] { return ticks >= 2; }));
        QVERIFY(fired);
    }
};

QTEST_MAIN(TickerTest)
#include "tst_platform_ticker.moc"
