#include "ReceiveFilter.h"

#include <QTest>

namespace {

struct Piece
{
    bool replacesLast;
    QString shown;
};

} // namespace

Q_DECLARE_METATYPE(QList<Piece>)

// Text that arrives while the box waits for its next update is gathered and put into
// the box at once: the box must end as appending every piece on its own leaves it.
class ReceiveFilterTest : public QObject
{
    Q_OBJECT

private slots:
    void batch_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QList<Piece>>("pieces");
        QTest::addColumn<QString>("expected");
        QTest::newRow("backspaces take the batch, then the box")
            << "ABC" << QList<Piece> { { false, "D" }, { true, "" }, { true, "" }, { true, "E" } } << "AE";
        // 17 characters as the trim counts them. The box and the first piece hold 20404:
        // before the second the oldest 4096 go, 4 of the box, 240 lines and 12 characters.
        const QString line = QStringLiteral("ABCDEFGHIJKLMNO\n");
        QTest::newRow("the trim reaches into the batch")
            << "AB\n"
            << QList<Piece> { { false, line.repeated(1200) }, { false, "Z" } }
            << "MNO\n" + line.repeated(959) + "Z";
    }

    void batch()
    {
        QFETCH(QString, box);
        QFETCH(QList<Piece>, pieces);
        QFETCH(QString, expected);
        ReceiveFilter::Batch batch(box);
        for (const Piece& piece : pieces)
            ReceiveFilter::add(batch, piece.replacesLast, piece.shown);
        QCOMPARE(box.mid(batch.boxStart, batch.boxEnd - batch.boxStart) + batch.tail.mid(batch.tailStart),
            expected);
    }
};

QTEST_MAIN(ReceiveFilterTest)
#include "tst_link_receivefilter.moc"
