#include "ReceiveFilter.h"

#include <QTest>

// Text that arrives while the box waits for its next update is gathered and put into
// the box at once: the box must end as appending every piece on its own leaves it.
class ReceiveFilterTest : public QObject
{
    Q_OBJECT

private slots:
    void batch_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QStringList>("pieces"); // cleaned; a leading backspace replaces the last
        QTest::addColumn<QString>("expected");
        QTest::newRow("backspaces take the batch, then the box")
            << "ABC" << QStringList { "D", "\b", "\b", "\bE" } << "AE";
        // 17 characters as the trim counts them. The box and the first piece hold 20404:
        // before the second the oldest 4096 go, 4 of the box, 240 lines and 12 characters.
        const QString line = QStringLiteral("ABCDEFGHIJKLMNO\n");
        // The trim starts past 20000 characters, not at them.
        QTest::newRow("20000 kept") << QString(20000, u'A') << QStringList { "Z" }
                                    << QString(20000, u'A') + "Z";
        QTest::newRow("the trim reaches into the batch")
            << "AB\n"
            << QStringList { line.repeated(1200), "Z" } << "MNO\n" + line.repeated(959) + "Z";
    }

    void batch()
    {
        QFETCH(QString, box);
        QFETCH(QStringList, pieces);
        QFETCH(QString, expected);
        ReceiveFilter::Batch batch(box);
        for (const QString& piece : pieces) {
            const bool replacesLast = piece.startsWith(QLatin1Char('\b'));
            ReceiveFilter::add(batch, replacesLast, piece.mid(replacesLast ? 1 : 0));
        }
        QCOMPARE(box.mid(batch.boxStart, batch.boxEnd - batch.boxStart) + batch.tail.mid(batch.tailStart),
            expected);
    }

    // What the status bar and the error box show for each serial event; the others show nothing.
    void eventTexts()
    {
        using ReceiveFilter::LinkEvent;
        QStringList seen;
        for (LinkEvent event :
            { LinkEvent::Received, LinkEvent::Parity, LinkEvent::Overrun, LinkEvent::TransmitHeld })
            seen << ReceiveFilter::eventTexts(event).status + '|' + ReceiveFilter::eventTexts(event).error;
        QCOMPARE(seen, (QStringList { "Receiving...|", "|", "|Overrun Error", "|Transmit Buffer Full" }));
    }
};

QTEST_MAIN(ReceiveFilterTest)
#include "tst_link_receivefilter.moc"
