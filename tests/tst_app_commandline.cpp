#include <QProcess>
#include <QTest>

// The tool's and the simulator's --help and --version answer on the terminal and exit,
// even with no display to open a window on.
class AppCommandLineTest : public QObject
{
    Q_OBJECT

private slots:
    void answers_data()
    {
        QTest::addColumn<QString>("program"); // environment variable naming the executable
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("output"); // a part of the standard output
        QTest::addColumn<QByteArray>("errors");
        const QString tool = QStringLiteral("VESTIBAR_APP");
        const QString sim = QStringLiteral("VESTIBAR_SIM");
        QTest::newRow("tool version")
            << tool << QStringList { "--version" } << 0 << QByteArray("vestibar 5.0.0\n") << QByteArray();
        QTest::newRow("tool short version")
            << tool << QStringList { "-v" } << 0 << QByteArray("vestibar 5.0.0\n") << QByteArray();
        QTest::newRow("tool help") << tool << QStringList { "--help" } << 0
                                   << QByteArray("  -v, --version  Displays version information.\n")
                                   << QByteArray();
        QTest::newRow("tool short help")
            << tool << QStringList { "-h" } << 0 << QByteArray("door-entry controller.\n") << QByteArray();
        QTest::newRow("window-system option passes")
            << tool << QStringList { "-platform", "offscreen", "--version" } << 0
            << QByteArray("vestibar 5.0.0\n") << QByteArray();
        QTest::newRow("tool unknown option") << tool << QStringList { "--bogus" } << 1 << QByteArray()
                                             << QByteArray("vestibar: Unknown option 'bogus'.\n");
        QTest::newRow("simulator version")
            << sim << QStringList { "--version" } << 0 << QByteArray("vestibar-sim 5.0.0\n") << QByteArray();
        QTest::newRow("simulator help")
            << sim << QStringList { "--help" } << 0 << QByteArray("  --state <FILE>") << QByteArray();
    }

    void answers()
    {
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, output);
        QFETCH(QByteArray, errors);
        const QString path = qEnvironmentVariable(qPrintable(program));
        QVERIFY2(!path.isEmpty(), qPrintable(program + " is not set"));

        // With no display a window could not open: the tool would abort instead of answering.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : { "DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM" })
            environment.remove(QString::fromLatin1(name));
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(path, arguments);
        QVERIFY(process.waitForFinished(10000));
        const QByteArray standardOutput = process.readAllStandardOutput();
        QCOMPARE(process.readAllStandardError(), errors);
        QVERIFY2(standardOutput.contains(output), standardOutput.constData());
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), exitCode);
    }
};

QTEST_GUILESS_MAIN(AppCommandLineTest)
#include "tst_app_commandline.moc"
