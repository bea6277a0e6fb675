#include "LineReader.h"
#include "RecordLines.h"

#include <QBuffer>
#include <QTest>

class RecordLinesTest : public QObject
{
    Q_OBJECT

private slots:
    void isRecord_data();
    void isRecord();
    void wireLineKeepsTheLine();
    void pauseSeconds_data();
    void pauseSeconds();
    void lineEnds_data();
    void lineEnds();
};

void RecordLinesTest::isRecord_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("record");

    for (const char* code : RecordLines::kindCodes)
        QTest::newRow(code) << QString::fromLatin1(code) + QStringLiteral("0001 something") << true;
    QTest::newRow("leading blanks") << "  TNT0001" << true;
    QTest::newRow("code alone") << "HLD" << true;
    QTest::newRow("lower case") << "tnt0001" << false;
    QTest::newRow("blanks only") << "     " << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("two letters") << "TN" << false;
    QTest::newRow("phone line") << "PHO5551234" << false;
    QTest::newRow("master code line") << "PGM1234" << false;
    QTest::newRow("event record kind") << "EVR0001" << false;
    QTest::newRow("tab before code") << "\tTNT0001" << false;
}

void RecordLinesTest::isRecord()
{
    QFETCH(QString, line);
    QFETCH(bool, record);
    QCOMPARE(RecordLines::isRecord(line), record);
}

void RecordLinesTest::wireLineKeepsTheLine()
{
    QCOMPARE(RecordLines::wireLine(QStringLiteral("  TNT 0001  ")), QByteArray("  TNT 0001  \r\n"));
    QCOMPARE(RecordLines::wireLine(QString(QChar(0xE9))), QByteArray("\xE9\r\n"));
}

void RecordLinesTest::pauseSeconds_data()
{
    QTest::addColumn<QString>("byteCycle");
    QTest::addColumn<double>("seconds");

    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("1") << "1" << 0.05;
    QTest::newRow("3") << "3" << 0.15;
    QTest::newRow("10") << "10" << 0.5;
    QTest::newRow("15") << "15" << 0.75;
    QTest::newRow("20") << "20" << 1.0;
    QTest::newRow("not a number") << "abc" << 0.0;
    QTest::newRow("leading number of a text") << " 12ms" << 0.6;
    QTest::newRow("fraction") << "2.5" << 0.125;
}

void RecordLinesTest::pauseSeconds()
{
    QFETCH(QString, byteCycle);
    QFETCH(double, seconds);
    QCOMPARE(RecordLines::pauseSeconds(byteCycle), seconds);
}

void RecordLinesTest::lineEnds_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("CR LF") << QByteArray("A\r\nB\r\n") << QStringList { "A", "B" };
    QTest::newRow("no end on the last line") << QByteArray("A\r\nB") << QStringList { "A", "B" };
    QTest::newRow("CR alone") << QByteArray("A\rB\r") << QStringList { "A", "B" };
    QTest::newRow("LF alone") << QByteArray("A\nB\n") << QStringList { "A", "B" };
    QTest::newRow("empty lines kept") << QByteArray("\r\n\r\nA\r\n\r\n") << QStringList { "", "", "A", "" };
    QTest::newRow("blanks kept") << QByteArray("  A  \r\n") << QStringList { "  A  " };
    QTest::newRow("empty file") << QByteArray() << QStringList {};
}

void RecordLinesTest::lineEnds()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);

    QBuffer buffer(&bytes);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    LineReader reader(buffer);
    QStringList read;
    QString line;
    while (reader.next(line))
        read << line;
    QCOMPARE(read, lines);
}

QTEST_APPLESS_MAIN(RecordLinesTest)
#include "tst_transfer_recordlines.moc"
