#include "CommandLine.h"

#include <QDate>
#include <QTest>
#include <QTime>

class CommandLineTest : public QObject
{
    Q_OBJECT

private slots:
    void valueLine_data();
    void valueLine();
    void fixedAndMasterCode_data();
    void fixedAndMasterCode();
    void time_data();
    void time();
    void date_data();
    void date();
};

void CommandLineTest::valueLine_data()
{
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("line");

    QTest::newRow("digit") << "PARCHT"
                           << "5" << QByteArray("PARCHT 5\r\n");
    QTest::newRow("empty value keeps the blank") << "PARCLT"
                                                 << "" << QByteArray("PARCLT \r\n");
    QTest::newRow("not padded") << "PARCHT"
                                << "7" << QByteArray("PARCHT 7\r\n");
    QTest::newRow("zeros as typed") << "KLR ACD"
                                    << "0000" << QByteArray("KLR ACD 0000\r\n");
    QTest::newRow("blanks kept, not trimmed") << "PARMSG"
                                              << " Hello  World " << QByteArray("PARMSG  Hello  World \r\n");
    QTest::newRow("one byte per Latin-1 character") << "PARMSG"
                                                    << "Caf\u00e9" << QByteArray("PARMSG Caf\xe9\r\n");
}

void CommandLineTest::valueLine()
{
    QFETCH(QString, keyword);
    QFETCH(QString, value);
    QFETCH(QByteArray, line);
    QCOMPARE(CommandLine::withValue(keyword, value), line);
}

void CommandLineTest::fixedAndMasterCode_data()
{
    QTest::addColumn<QByteArray>("built");
    QTest::addColumn<QByteArray>("line");

    QTest::newRow("fixed") << CommandLine::fixed("PARPDL") << QByteArray("PARPDL\r\n");
    QTest::newRow("fixed with inner blank") << CommandLine::fixed("KLR HLD") << QByteArray("KLR HLD\r\n");
    QTest::newRow("master code has no blank") << CommandLine::masterCode("1234") << QByteArray("PGM1234\r\n");
}

void CommandLineTest::fixedAndMasterCode()
{
    QFETCH(QByteArray, built);
    QFETCH(QByteArray, line);
    QCOMPARE(built, line);
}

void CommandLineTest::time_data()
{
    QTest::addColumn<QTime>("time");
    QTest::addColumn<QByteArray>("line");

    QTest::newRow("09:05") << QTime(9, 5, 59) << QByteArray("TIM 09 05\r\n");
    QTest::newRow("midnight") << QTime(0, 0) << QByteArray("TIM 00 00\r\n");
    QTest::newRow("23:59") << QTime(23, 59, 59) << QByteArray("TIM 23 59\r\n");
    QTest::newRow("10:10") << QTime(10, 10) << QByteArray("TIM 10 10\r\n");
}

void CommandLineTest::time()
{
    QFETCH(QTime, time);
    QFETCH(QByteArray, line);
    QCOMPARE(CommandLine::time(time), line);
}

void CommandLineTest::date_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QByteArray>("line");

    QTest::newRow("Friday, month before day") << QDate(2002, 2, 22) << QByteArray("DAT 02 22 2002 5\r\n");
    QTest::newRow("Sunday is 7") << QDate(2002, 2, 24) << QByteArray("DAT 02 24 2002 7\r\n");
    QTest::newRow("Monday is 1") << QDate(2002, 2, 25) << QByteArray("DAT 02 25 2002 1\r\n");
    QTest::newRow("two-digit month and day") << QDate(2024, 12, 31) << QByteArray("DAT 12 31 2024 2\r\n");
    QTest::newRow("first of January") << QDate(2000, 1, 1) << QByteArray("DAT 01 01 2000 6\r\n");
}

void CommandLineTest::date()
{
    QFETCH(QDate, date);
    QFETCH(QByteArray, line);
    QCOMPARE(CommandLine::date(date), line);
}

QTEST_APPLESS_MAIN(CommandLineTest)
#include "tst_commands_commandline.moc"
