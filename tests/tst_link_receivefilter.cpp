#include "ReceiveFilter.h"
#include "SerialPort.h"

#include <QTest>

// The cleaning of received text, with no box or file involved.
class ReceiveFilterTest : public QObject
{
    Q_OBJECT

private slots:
    void clean_data();
    void clean();
    void batchMatchesPieceByPiece_data();
    void batchMatchesPieceByPiece();
};

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
            // A line end cut in two goes whole.
            if (text.startsWith(QLatin1Char('\n')))
                text.remove(0, 1);
        }
        if (piece.replacesLast && !text.isEmpty()) {
            text.chop(text.endsWith(crLf) ? 2 : 1);
        }
        text += QString(piece.shown).replace(QLatin1Char('\n'), crLf);
    }
    return text.replace(crLf, QStringLiteral("\n"));
}

// The box after the batch of the same pieces is applied once.
QString appendedAsBatch(const QString& box, const QList<Piece>& pieces)
{
    ReceiveFilter::Batch batch(box);
    for (const Piece& piece : pieces)
        ReceiveFilter::add(batch, piece.replacesLast, piece.shown);
    return box.mid(batch.boxStart, batch.boxEnd - batch.boxStart) + batch.tail.mid(batch.tailStart);
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

void ReceiveFilterTest::clean_data()
{
    QTest::addColumn<QString>("received");
    QTest::addColumn<QString>("logged");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("replacesLast");

    QTest::newRow("CR LF between lines") << "AB\r\nCD"
                                         << "AB\r\nCD"
                                         << "AB\nCD" << false;
    QTest::newRow("bare LF dropped") << "AB\nCD"
                                     << "ABCD"
                                     << "ABCD" << false;
    QTest::newRow("bare CR gets its LF") << "AB\rCD"
                                         << "AB\r\nCD"
                                         << "AB\nCD" << false;
    QTest::newRow("LF CR is one line end") << "A\n\rB"
                                           << "A\r\nB"
                                           << "A\nB" << false;
    QTest::newRow("two CRs, two line ends") << "\r\r"
                                            << "\r\n\r\n"
                                            << "\n\n"
                                            << false;
    QTest::newRow("chunk split after CR") << "AB\r"
                                          << "AB\r\n"
                                          << "AB\n"
                                          << false;
    QTest::newRow("chunk starting with the LF of a split CR LF") << "\nCD"
                                                                 << "CD"
                                                                 << "CD" << false;
    QTest::newRow("backspace takes the character before it") << "ABC\bD"
                                                             << "ABD"
                                                             << "ABD" << false;
    QTest::newRow("two backspaces in a row") << "ABC\b\bD"
                                             << "AD"
                                             << "AD" << false;
    QTest::newRow("leading backspace") << "\bX"
                                       << "X"
                                       << "X" << true;
    QTest::newRow("several leading backspaces") << "\b\b\bX"
                                                << "X"
                                                << "X" << true;
    QTest::newRow("more backspaces than characters") << "AB\b\b\bC"
                                                     << "C"
                                                     << "C" << true;
    QTest::newRow("backspace over a CR, before line ends are made") << "A\r\b\nB"
                                                                    << "AB"
                                                                    << "AB" << false;
    QTest::newRow("only a backspace") << "\b"
                                      << ""
                                      << "" << true;
    QTest::newRow("empty") << ""
                           << ""
                           << "" << false;
    QTest::newRow("other control and high characters kept")
        << QString::fromLatin1("\x07\t\xe9\xff") << QString::fromLatin1("\x07\t\xe9\xff")
        << QString::fromLatin1("\x07\t\xe9\xff") << false;
}

void ReceiveFilterTest::clean()
{
    QFETCH(QString, received);
    QFETCH(QString, logged);
    QFETCH(QString, shown);
    QFETCH(bool, replacesLast);

    const ReceiveFilter::Chunk chunk = ReceiveFilter::clean(received);
    QCOMPARE(chunk.text, logged);
    QCOMPARE(chunk.replacesLast, replacesLast);
    QCOMPARE(ReceiveFilter::forDisplay(chunk.text), shown);
}

void ReceiveFilterTest::batchMatchesPieceByPiece_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QList<Piece>>("pieces");

    QTest::newRow("small pieces, no trim") << "AB" << QList<Piece> { { false, "C" }, { false, "D\n" } };
    QTest::newRow("backspaces take the batch, then the box")
        << "ABC" << QList<Piece> { { false, "D" }, { true, "" }, { true, "" }, { true, "E" } };
    QTest::newRow("backspace on an empty box") << "" << QList<Piece> { { true, "" }, { true, "X" } };
    QTest::newRow("box just past the limit")
        << numbered(20001, 1) << QList<Piece> { { false, "tail" }, { true, "!" } };
    // 18832 characters on screen, 20009 with each line end as CR LF.
    QTest::newRow("line ends count two, a line end cut in two goes")
        << QString("ABCDEFGHIJKLMNO\n").repeated(1177) << QList<Piece> { { false, "X" }, { false, "Y" } };
    QTest::newRow("line ends at the limit")
        << QString("ab\n").repeated(5000) << QList<Piece> { { false, "c" }, { false, "d" }, { true, "\n" } };
    QList<Piece> flood;
    for (int i = 0; i < 40; ++i)
        flood.append({ i % 7 == 3, numbered(4095, i + 2) });
    QTest::newRow("a flood trims into its own text") << numbered(15000, 1) << flood;
    QList<Piece> wide;
    for (int i = 0; i < 3; ++i)
        wide.append({ false, numbered(30000, i + 2) });
    wide.append({ true, "" });
    QTest::newRow("pieces larger than the box") << numbered(20500, 1) << wide;
}

void ReceiveFilterTest::batchMatchesPieceByPiece()
{
    QFETCH(QString, box);
    QFETCH(QList<Piece>, pieces);
    QCOMPARE(appendedAsBatch(box, pieces), appendedOneByOne(box, pieces));
}

QTEST_MAIN(ReceiveFilterTest)
#include "tst_link_receivefilter.moc"
