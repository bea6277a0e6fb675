#include "ReceiveFilter.h"

#include <QTest>

namespace {

struct Piece
{
    bool replacesLast;
    QString shown;
};

// The box as appending every piece on its own leaves it, worked on the text as the
// log holds it: each line break is CR LF, and the trim counts both characters.
QString appendedOneByOne(const QString& box, const QList<Piece>& pieces)
{
    const QString crLf = QStringLiteral("\r\n");
    QString text = QString(box).replace(QLatin1Char('\n'), crLf);
    for (const Piece& piece : pieces) {
        if (text.size() > 20000) {
            text.remove(0, 4096);
            if (text.startsWith(QLatin1Char('\n'))) // a line end cut in two goes whole
                text.remove(0, 1);
        }
        if (piece.replacesLast && !text.isEmpty())
            text.chop(text.endsWith(crLf) ? 2 : 1);
        text += QString(piece.shown).replace(QLatin1Char('\n'), crLf);
    }
    return text.replace(crLf, QStringLiteral("\n"));
}

QString numbered(int length, int seed)
{
    QString text;
    for (int i = 0; text.size() < length; ++i)
        text += QString::number(seed * 100000 + i) + QLatin1Char('\n');
    return text.left(length);
}

} // namespace

Q_DECLARE_METATYPE(QList<Piece>)

// Received text gathered while the box waits to be updated, with no box involved.
class ReceiveFilterTest : public QObject
{
    Q_OBJECT

private slots:
    // A flood is put into the box at once: the box must end as appending every
    // piece on its own would leave it.
    void batchMatchesPieceByPiece_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QList<Piece>>("pieces");
        QTest::newRow("backspaces take the batch, then the box")
            << "ABC" << QList<Piece> { { false, "D" }, { true, "" }, { true, "" }, { true, "E" } };
        QList<Piece> flood;
        for (int i = 0; i < 40; ++i)
            flood.append({ i % 7 == 3, numbered(4095, i + 2) });
        QTest::newRow("a flood trims into its own text") << numbered(15000, 1) << flood;
        const QList<Piece> wide { { false, numbered(30000, 2) }, { false, numbered(30000, 3) },
            { true, "" } };
        QTest::newRow("pieces larger than the box") << numbered(20500, 1) << wide;
    }

    void batchMatchesPieceByPiece()
    {
        QFETCH(QString, box);
        QFETCH(QList<Piece>, pieces);
        ReceiveFilter::Batch batch(box);
        for (const Piece& piece : pieces)
            ReceiveFilter::add(batch, piece.replacesLast, piece.shown);
        const QString applied
            = box.mid(batch.boxStart, batch.boxEnd - batch.boxStart) + batch.tail.mid(batch.tailStart);
        QCOMPARE(applied, appendedOneByOne(box, pieces));
    }
};

QTEST_MAIN(ReceiveFilterTest)
#include "tst_link_receivefilter.moc"
