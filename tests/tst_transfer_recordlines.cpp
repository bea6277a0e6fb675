#include "LineReader.h"
#include "RecordLines.h"

#include <QBuffer>
#include <QTest>

#include <climits>

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
    void progress_data();
    void progress();
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

void RecordLinesTest::progress_data()
{
    QTest::addColumn<qint64>("count");
    QTest::addColumn<qint64>("total");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("value");
    QTest::newRow("start") << qint64(0) << qint64(3) << 3 << 0;
    QTest::newRow("past a 16-bit count") << qint64(40000) << qint64(40000) << 40000 << 40000;
    QTest::newRow("more lines than the bar holds, halfway")
        << qint64(3000000000LL) << qint64(6000000000LL) << INT_MAX << INT_MAX / 2;
    QTest::newRow("more lines than the bar holds, done")
        << qint64(6000000000LL) << qint64(6000000000LL) << INT_MAX << INT_MAX;
}

void RecordLinesTest::progress()
{
    QFETCH(qint64, count);
    QFETCH(qint64, total);
    QFETCH(int, maximum);
    QFETCH(int, value);
    QCOMPARE(RecordLines::progressMaximum(total), maximum);
    QCOMPARE(RecordLines::progressValue(count, total), value);
}

QTEST_APPLESS_MAIN(RecordLinesTest)
#include "tst_transfer_recordlines.moc"
