#include "ParameterFile.h"

#include <QTest>

using ParameterFile::Entry;
using ParameterFile::Field;
using ParameterFile::Values;

Q_DECLARE_METATYPE(ParameterFile::Values)
Q_DECLARE_METATYPE(QList<ParameterFile::Entry>)

namespace QTest {
template <> char* toString(const QList<ParameterFile::Entry>& entries)
{
    QStringList parts;
    for (const Entry& entry : entries)
        parts << QStringLiteral("%1=\"%2\"").arg(int(entry.field)).arg(entry.value);
    return qstrdup(qPrintable(parts.join(QLatin1String(", "))));
}
} // namespace QTest

class ParameterFileTest : public QObject
{
    Q_OBJECT

private slots:
    void write_data();
    void write();
    void readLine_data();
    void readLine();
    void readWholeText_data();
    void readWholeText();
    void roundTrip_data();
    void roundTrip();
};

void ParameterFileTest::write_data()
{
    QTest::addColumn<Values>("values");
    QTest::addColumn<QString>("text");

    QTest::newRow("all empty") << Values {} << "\r\n";
    QTest::newRow("empty values write nothing")
        << Values { { Field::Text2, "" }, { Field::MsgWel, "" } } << "\r\n";
    QTest::newRow("call hold and message") << Values { { Field::MsgWel, "Welcome" }, { Field::medit1, "5" } }
                                           << "PARCHT 5\r\nPARMSG Welcome\r\n\r\n";
    QTest::newRow("every box, table order")
        << Values { { Field::MsgWel, "Hi there" }, { Field::rl2, "1" }, { Field::medit5, "2" },
               { Field::medit4, "3" }, { Field::medit3, "45" }, { Field::medit2, "6" },
               { Field::medit1, "120" }, { Field::Crno, "77" }, { Field::Text3, "1234" },
               { Field::Text2, "5551234" } }
        << "PHO5551234\r\nPGM1234\r\nPARFCN 77\r\nPARCHT 120\r\nPARDOT1 6\r\nPARDOT2 45\r\n"
           "PARCLT 3\r\nPARSYD 2\r\nPARLMO 1\r\nPARMSG Hi there\r\n\r\n";
    QTest::newRow("short master code still written") << Values { { Field::Text3, "12" } } << "PGM12\r\n\r\n";
    QTest::newRow("blanks kept in texts") << Values { { Field::Text2, " 9 555 " },
        { Field::MsgWel, "  hi  " } } << "PHO 9 555 \r\nPARMSG   hi  \r\n\r\n";
}

void ParameterFileTest::write()
{
    QFETCH(Values, values);
    QFETCH(QString, text);
    QCOMPARE(ParameterFile::write(values), text);
}

void ParameterFileTest::readLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("value");

    const auto accept = [](const char* name, const QString& line, Field field, const QString& value) {
        QTest::newRow(name) << line << true << int(field) << value;
    };
    const auto skip = [](const char* name, const QString& line) {
        QTest::newRow(name) << line << false << 0 << QString();
    };

    accept("phone", "PHO5551234", Field::Text2, "5551234");
    accept("phone empty", "PHO", Field::Text2, "");
    accept("phone trailing blanks lost", "PHO 555   ", Field::Text2, " 555");
    accept("master code", "PGM1234", Field::Text3, "1234");
    skip("master code of 3", "PGM123");
    skip("master code of 5", "PGM12345");
    accept("facility length 8", "PARFCN 7", Field::Crno, "007");
    accept("facility length 9", "PARFCN 42", Field::Crno, "042");
    accept("facility length 10", "PARFCN 123", Field::Crno, "123");
    skip("facility length 7", "PARFCN ");
    skip("facility length 11", "PARFCN 1234");
    accept("call hold 5", "PARCHT 5", Field::medit1, "005");
    accept("door 1 length 9", "PARDOT1 4", Field::medit2, "04");
    accept("door 2 length 10", "PARDOT2 15", Field::medit3, "15");
    skip("door 1 length 8", "PARDOT1 ");
    skip("door 2 length 11", "PARDOT2 150");
    accept("lock-out", "PARCLT 3", Field::medit4, "3");
    skip("lock-out of two digits", "PARCLT 12");
    accept("system id after leading blanks", "   PARSYD 2", Field::medit5, "2");
    accept("relay 2 mode", "PARLMO 1", Field::rl2, "1");
    accept("message inner blanks kept", "PARMSG   hi", Field::MsgWel, "  hi");
    accept("message keyword alone", "PARMSG", Field::MsgWel, "");
    accept("value not checked here", "PARCLT x", Field::medit4, "x");
    skip("lower-case keyword", "parcht 5");
    skip("mixed-case keyword", "Pho5551234");
    skip("PBX number", "PARNUM 12345");
    skip("unlock hour 1", "PAROHR1 12");
    skip("unlock hour 2", "PAROHR2 12");
    skip("new master code", "PARCMC 9999");
    skip("empty", "");
    skip("blanks only", "     ");
    skip("tab before keyword", "\tPARCLT 3");
}

void ParameterFileTest::readLine()
{
    QFETCH(QString, line);
    QFETCH(bool, accepted);
    QFETCH(int, field);
    QFETCH(QString, value);

    const auto entry = ParameterFile::readLine(line);
    QCOMPARE(entry.has_value(), accepted);
    if (accepted) {
        QCOMPARE(int(entry->field), field);
        QCOMPARE(entry->value, value);
    }
}

void ParameterFileTest::readWholeText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<Entry>>("entries");

    QTest::newRow("only CR LF") << "\r\n" << QList<Entry> {};
    QTest::newRow("file order, later lines repeat")
        << "PARCLT 1\r\nPHO123\r\nPARCLT 2\r\n"
        << QList<Entry> { { Field::medit4, "1" }, { Field::Text2, "123" }, { Field::medit4, "2" } };
    QTest::newRow("CR and LF line ends")
        << "PARCLT 1\rPARSYD 2\nPARLMO 3"
        << QList<Entry> { { Field::medit4, "1" }, { Field::medit5, "2" }, { Field::rl2, "3" } };
    QTest::newRow("skipped lines between") << "PARNUM 123\r\nPARCHT 9\r\nhello\r\n\r\nPGM12345\r\n"
                                           << QList<Entry> { { Field::medit1, "009" } };
}

void ParameterFileTest::readWholeText()
{
    QFETCH(QString, text);
    QFETCH(QList<Entry>, entries);
    QCOMPARE(ParameterFile::read(text), entries);
}

void ParameterFileTest::roundTrip_data()
{
    QTest::addColumn<Values>("saved");
    QTest::addColumn<Values>("loaded");

    QTest::newRow("nothing") << Values {} << Values {};
    QTest::newRow("padded on the way back")
        << Values { { Field::medit1, "5" }, { Field::MsgWel, "Welcome" }, { Field::medit2, "3" },
               { Field::Crno, "12" } }
        << Values { { Field::medit1, "005" }, { Field::MsgWel, "Welcome" }, { Field::medit2, "03" },
               { Field::Crno, "012" } };
    QTest::newRow("short master code lost")
        << Values { { Field::Text3, "123" }, { Field::Text2, "555" } } << Values { { Field::Text2, "555" } };
    QTest::newRow("trailing blanks lost") << Values { { Field::Text2, "555 " }, { Field::MsgWel, "hi  " } }
                                          << Values { { Field::Text2, "555" }, { Field::MsgWel, "hi" } };
    QTest::newRow("full widths unchanged") << Values { { Field::Text2, "5551234" }, { Field::Text3, "1234" },
        { Field::Crno, "123" }, { Field::medit1, "045" }, { Field::medit2, "10" }, { Field::medit3, "99" },
        { Field::medit4, "3" }, { Field::medit5, "1" }, { Field::rl2, "0" }, { Field::MsgWel, "Good  day" } }
                                           << Values { { Field::Text2, "5551234" }, { Field::Text3, "1234" },
                                                  { Field::Crno, "123" }, { Field::medit1, "045" },
                                                  { Field::medit2, "10" }, { Field::medit3, "99" },
                                                  { Field::medit4, "3" }, { Field::medit5, "1" },
                                                  { Field::rl2, "0" }, { Field::MsgWel, "Good  day" } };
}

void ParameterFileTest::roundTrip()
{
    QFETCH(Values, saved);
    QFETCH(Values, loaded);

    Values back;
    for (const Entry& entry : ParameterFile::read(ParameterFile::write(saved)))
        back.insert(entry.field, entry.value);
    QCOMPARE(back, loaded);
}

QTEST_APPLESS_MAIN(ParameterFileTest)
#include "tst_transfer_parameterfile.moc"
