#include "SettingsStore.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QDirIterator>
#include <QTest>

class SettingsStoreTest : public QObject
{
    Q_OBJECT

private:
    TestEnvironment environment;

private slots:
    void init() { environment.clearSettings(); }

    void keysIgnoreCase_data()
    {
        QTest::addColumn<QString>("writtenSection");
        QTest::addColumn<QString>("writtenKey");
        QTest::addColumn<QString>("readSection");
        QTest::addColumn<QString>("readKey");
        QTest::newRow("port buttons write port, load reads Port") << "Properties"
                                                                  << "port"
                                                                  << "Properties"
                                                                  << "Port";
        QTest::newRow("mode buttons write Rs232, load reads rs232") << "Properties"
                                                                    << "Rs232"
                                                                    << "Properties"
                                                                    << "rs232";
        QTest::newRow("section spelled otherwise") << "PROPERTIES"
                                                   << "ph"
                                                   << "Properties"
                                                   << "PH";
    }

    void keysIgnoreCase()
    {
        QFETCH(QString, writtenSection);
        QFETCH(QString, writtenKey);
        QFETCH(QString, readSection);
        QFETCH(QString, readKey);
        SettingsStore store;
        store.setValue(writtenSection, writtenKey, QStringLiteral("2"));
        QCOMPARE(store.value(readSection, readKey), QStringLiteral("2"));
        // A write under the other spelling replaces the one entry.
        store.setValue(readSection, readKey, QStringLiteral("3"));
        QCOMPARE(store.value(writtenSection, writtenKey), QStringLiteral("3"));
    }

    void missingReadsEmpty()
    {
        SettingsStore store;
        QCOMPARE(store.value(QStringLiteral("Properties"), QStringLiteral("sett")), QString());
        QCOMPARE(store.value(QStringLiteral("Ports"), QStringLiteral("COM1")), QString());
    }

};

QTEST_MAIN(SettingsStoreTest)
#include "tst_platform_settings.moc"
