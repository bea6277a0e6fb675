// Record lines of the five database kinds, from what the boxes read: the cases the
// editor windows' typed records do not reach.
#include "RecordFormats.h"

#include <QTest>

class RecordFormatsTest : public QObject
{
    Q_OBJECT

private slots:
    void tenant_data();
    void tenant();
    void accessCode_data();
    void accessCode();
    void autoSchedule_data();
    void autoSchedule();
    void holiday_data();
    void holiday();
    void timeZone_data();
    void timeZone();
};

void RecordFormatsTest::tenant_data()
{
    QTest::addColumn<QString>("directory"); // typed digits
    QTest::addColumn<QString>("telephone"); // box text of the 11-position box
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("line");

    QTest::newRow("only a directory") << "7"
                                      << "           "
                                      << ""
                                      << "TNTDIR:7TEL: NAME:";
    QTest::newRow("leading zeros kept") << "0042"
                                        << "55501420000"
                                        << "A"
                                        << "TNTDIR:0042TEL:55501420000 NAME:A";
    QTest::newRow("gap inside the telephone kept") << "1"
                                                   << "555 12     "
                                                   << "X"
                                                   << "TNTDIR:1TEL:555 12 NAME:X";
    QTest::newRow("name trimmed, inner blanks kept") << "3"
                                                     << "1          "
                                                     << "  A  B JONES "
                                                     << "TNTDIR:3TEL:1 NAME:A  B JONES";
    QTest::newRow("name tab is not a blank") << "3"
                                             << ""
                                             << "\tA"
                                             << "TNTDIR:3TEL: NAME:\tA";
}

void RecordFormatsTest::tenant()
{
    QFETCH(QString, directory);
    QFETCH(QString, telephone);
    QFETCH(QString, name);
    QFETCH(QString, line);
    QCOMPARE(RecordFormats::tenant(directory, telephone, name), line);
}

void RecordFormatsTest::accessCode_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("card");
    QTest::addColumn<QString>("periodDigits");
    QTest::addColumn<QString>("periodText");
    QTest::addColumn<QString>("door");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("line");

    QTest::newRow("no card, one period, no name") << "1234"
                                                  << ""
                                                  << "3"
                                                  << "3    "
                                                  << "2"
                                                  << ""
                                                  << "ACD 1234 NNNNN 3 N N 2 ";
    QTest::newRow("all zero code") << "0000"
                                   << "7"
                                   << "123"
                                   << "1 2 3"
                                   << "1"
                                   << "A"
                                   << "ACD 0000 00007 1 2 3 1 A";
    QTest::newRow("five-digit card as typed") << "1234"
                                              << "09999"
                                              << "123"
                                              << "1 2 3"
                                              << "1"
                                              << "A"
                                              << "ACD 1234 09999 1 2 3 1 A";
    QTest::newRow("only the second period") << "1234"
                                            << ""
                                            << "5"
                                            << "  5  "
                                            << "1"
                                            << ""
                                            << "ACD 1234 NNNNN 5 N N 1 ";
    QTest::newRow("name trimmed, inner blanks kept") << "1234"
                                                     << "1"
                                                     << "1"
                                                     << "1    "
                                                     << "9"
                                                     << " A  B "
                                                     << "ACD 1234 00001 1 N N 9 A  B";
}

void RecordFormatsTest::accessCode()
{
    QFETCH(QString, code);
    QFETCH(QString, card);
    QFETCH(QString, periodDigits);
    QFETCH(QString, periodText);
    QFETCH(QString, door);
    QFETCH(QString, name);
    QFETCH(QString, line);
    QCOMPARE(RecordFormats::accessCode(code, card, periodDigits, periodText, door, name), line);
}

void RecordFormatsTest::autoSchedule_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("door");
    QTest::addColumn<QString>("begin"); // box texts
    QTest::addColumn<QString>("end");
    QTest::addColumn<QString>("days");
    QTest::addColumn<QString>("line");

    QTest::newRow("all empty") << ""
                               << ""
                               << "  :  "
                               << "  :  "
                               << "               "
                               << "ATS   : : ";
    QTest::newRow("door other than 1 or 2") << "3"
                                            << "7"
                                            << "00:00"
                                            << "23:59"
                                            << "1 1 1 1 1 1 1 1"
                                            << "ATS 3 7 00:00 23:59 1 1 1 1 1 1 1 1";
    QTest::newRow("hours only") << "1"
                                << "1"
                                << "08:  "
                                << "17:  "
                                << "1              "
                                << "ATS 1 1 08: 17: 1";
    QTest::newRow("first three flags") << "1"
                                       << "1"
                                       << "08:00"
                                       << "09:00"
                                       << "1 0 1          "
                                       << "ATS 1 1 08:00 09:00 1 0 1";
}

void RecordFormatsTest::autoSchedule()
{
    QFETCH(QString, number);
    QFETCH(QString, door);
    QFETCH(QString, begin);
    QFETCH(QString, end);
    QFETCH(QString, days);
    QFETCH(QString, line);
    QCOMPARE(RecordFormats::autoSchedule(number, door, begin, end, days), line);
}

void RecordFormatsTest::holiday_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("month");
    QTest::addColumn<QString>("day");
    QTest::addColumn<QString>("line");

    QTest::newRow("16, 1, 1") << "16"
                              << "1"
                              << "1"
                              << "HLD 16 01/01";
    QTest::newRow("month typed with its zero") << "7"
                                               << "07"
                                               << "4"
                                               << "HLD 07 07/04";
    QTest::newRow("out of range as typed") << "99"
                                           << "13"
                                           << "32"
                                           << "HLD 99 13/32";
    QTest::newRow("only a day") << ""
                                << ""
                                << "9"
                                << "HLD  /09";
    QTest::newRow("zero gets its zero") << "0"
                                        << "0"
                                        << "0"
                                        << "HLD 00 00/00";
}

void RecordFormatsTest::holiday()
{
    QFETCH(QString, number);
    QFETCH(QString, month);
    QFETCH(QString, day);
    QFETCH(QString, line);
    QCOMPARE(RecordFormats::holiday(number, month, day), line);
}

void RecordFormatsTest::timeZone_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("begin");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QString>("days");
    QTest::addColumn<QString>("line");

    QTest::newRow("all empty") << ""
                               << "  :  "
                               << "  :  "
                               << "               "
                               << "TMZ  : : ";
    QTest::newRow("zone 0, end before begin") << "0"
                                              << "18:00"
                                              << "06:00"
                                              << "0 0 0 0 0 0 1 1"
                                              << "TMZ 0 18:00 06:00 0 0 0 0 0 0 1 1";
}

void RecordFormatsTest::timeZone()
{
    QFETCH(QString, number);
    QFETCH(QString, begin);
    QFETCH(QString, end);
    QFETCH(QString, days);
    QFETCH(QString, line);
    QCOMPARE(RecordFormats::timeZone(number, begin, end, days), line);
}

QTEST_APPLESS_MAIN(RecordFormatsTest)
#include "tst_editors_recordformats.moc"
