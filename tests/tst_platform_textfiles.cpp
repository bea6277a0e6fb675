#include "TestEnvironment.h"
#include "TextFiles.h"

#include <QDir>
#include <QFile>
#include <QTest>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

class TextFilesTest : public QObject
{
    Q_OBJECT

private:
    TestEnvironment environment;

    static QByteArray contentOf(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
    }

private slots:
    void saveReplacesAndLoadReads()
    {
        const QString path = environment.filePath(QStringLiteral("plain.TNT"));
        QVERIFY(TextFiles::save(path, "old\r\n").ok);
        QVERIFY(TextFiles::save(path, "new\r\n").ok);
        QByteArray bytes;
        QVERIFY(TextFiles::load(path, bytes).ok);
        QCOMPARE(bytes, QByteArray("new\r\n"));
    }

    void failedSaveKeepsTheOldFile_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("read-only folder") << "read-only folder";
        QTest::newRow("name taken by a folder") << "folder in the way";
    }

    void failedSaveKeepsTheOldFile()
    {
        QFETCH(QString, how);
        const QString folder = environment.filePath(how);
        QVERIFY(QDir().mkpath(folder));
        QString path = folder + QStringLiteral("/kept.ACD");
        if (how == QLatin1String("read-only folder")) {
#ifdef Q_OS_UNIX
            if (::geteuid() == 0)
                QSKIP("root writes into read-only folders");
#endif
            QVERIFY(TextFiles::save(path, "old\r\n").ok);
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
        } else {
            // The target is a non-empty folder: the new file cannot take its place.
            path = folder;
            QVERIFY(TextFiles::save(folder + QStringLiteral("/inside"), "old\r\n").ok);
        }
        const TextFiles::Result result = TextFiles::save(path, "new\r\n");
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(!result.ok);
        QVERIFY(!result.error.isEmpty());
        if (how == QLatin1String("read-only folder"))
            QCOMPARE(contentOf(path), QByteArray("old\r\n"));
        else
            QCOMPARE(contentOf(folder + QStringLiteral("/inside")), QByteArray("old\r\n"));
    }

    void missingFileGivesAReason()
    {
        QByteArray bytes = "untouched";
        const TextFiles::Result result
            = TextFiles::load(environment.filePath(QStringLiteral("none.HLD")), bytes);
        QVERIFY(!result.ok);
        QVERIFY(!result.error.isEmpty());
    }

    void latin1RoundTrip()
    {
        QByteArray every;
        for (int b = 0; b < 256; ++b)
            every.append(char(b));
        const QString text = TextFiles::fromFileBytes(every);
        QCOMPARE(text.size(), 256);
        QCOMPARE(text.at(0xE9), QChar(0xE9));
        QCOMPARE(TextFiles::toFileBytes(text), every);

        const QString path = environment.filePath(QStringLiteral("bytes.TMZ"));
        QVERIFY(TextFiles::save(path, TextFiles::toFileBytes(text)).ok);
        QByteArray back;
        QVERIFY(TextFiles::load(path, back).ok);
        QCOMPARE(back, every);
    }

    void outsideLatin1BecomesQuestionMark()
    {
        QCOMPARE(TextFiles::toFileBytes(QString::fromUtf8("A\u20ACB")), QByteArray("A?B"));
    }
};

QTEST_MAIN(TextFilesTest)
#include "tst_platform_textfiles.moc"
