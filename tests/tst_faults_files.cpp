// Files that are not what they should be, offered to the editors, the parameter
// reader and the database send: unreadable, binary, very large.
#include "DatabaseFile.h"
#include "Dialogs.h"
#include "EditorWindow.h"
#include "Editors.h"
#include "ParameterFile.h"
#include "Pty.h"
#include "ScriptedDialogs.h"
#include "SerialPort.h"
#include "TestEnvironment.h"
#include "TextFiles.h"
#include "form1.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

// NUL bytes, bytes that are no valid UTF-8, a lone CR and every high byte.
QByteArray binaryBytes()
{
    QByteArray bytes("TNTDIR:1\0\xff\xfe NAME:\xc3\x28\r\nHLD 01\x80\rgarbage\0\0\r\n", 40);
    for (int b = 128; b < 256; ++b)
        bytes += char(b);
    bytes += "\r\n";
    return bytes;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

} // namespace

class FileFaultsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void editorTakesAnyFile_data();
    void editorTakesAnyFile();
    void editorReportsUnreadableFile();
    void parameterReaderTakesBinary();
    void sendTakesBinaryAndReportsUnreadable();

private:
    TestEnvironment m_environment;
};

void FileFaultsTest::initTestCase()
{
    Dialogs::setApplicationTitle(QStringLiteral("Vestibar 4600 Management System"));
}

void FileFaultsTest::editorTakesAnyFile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("binary") << binaryBytes();
    // Far beyond any fixed cut, in lines of a tenant file.
    QByteArray large;
    for (int i = 0; large.size() < 3 * 1024 * 1024; ++i)
        large += "TNTDIR:" + QByteArray::number(i) + "TEL:5550100 NAME:TENANT OF A LARGE BLOCK\r\n";
    QTest::newRow("3 MB") << large;
}

// Whatever the file holds, the editor shows all of it and saves it back as it was
// (with the extra line end of a save).
void FileFaultsTest::editorTakesAnyFile()
{
    QFETCH(QByteArray, bytes);
    const QString path = m_environment.filePath(QStringLiteral("odd.TNT"));
    QVERIFY(writeFile(path, bytes));
    ScriptedDialogs dialogs;
    QString handover = path;
    QString shown;
    const QString copy = m_environment.filePath(QStringLiteral("copy.TNT"));
    QTimer::singleShot(0, this, [&] {
        auto* editor = qobject_cast<EditorWindow*>(QApplication::activeModalWidget());
        QVERIFY(editor);
        shown = editor->content();
        dialogs.expectSaveFile(copy);
        editor->findChild<QPushButton*>(QStringLiteral("tntsaveas"))->click();
        editor->findChild<QPushButton*>(QStringLiteral("qui"))->click();
    });
    Editors::showModal(Editors::Kind::Tenant, handover, dialogs, nullptr);

    QCOMPARE(shown, DatabaseFile::contentFromFile(bytes));
    QVERIFY(shown.size() >= bytes.size() - bytes.count('\n') - 64);
    QFile saved(copy);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), DatabaseFile::fileFromContent(shown));
    QVERIFY2(dialogs.done(), qPrintable(dialogs.report()));
}

void FileFaultsTest::editorReportsUnreadableFile()
{
    // A folder in place of a file: no permission trick, so it holds for root too.
    const QString path = m_environment.filePath(QStringLiteral("folder.ACD"));
    QVERIFY(QDir().mkpath(path));
    ScriptedDialogs dialogs;
    QFile probe(path);
    QVERIFY(!probe.open(QIODevice::ReadOnly));
    dialogs.expectMessage(TextFiles::readFailureText(path, probe.errorString()), QStringLiteral("Open file"),
        Dialogs::Answer::Ok, Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation);
    QString handover = path;
    QString shown = QStringLiteral("not shown");
    QTimer::singleShot(0, this, [&] {
        auto* editor = qobject_cast<EditorWindow*>(QApplication::activeModalWidget());
        QVERIFY(editor);
        shown = editor->content();
        editor->findChild<QPushButton*>(QStringLiteral("quiacd"))->click();
    });
    Editors::showModal(Editors::Kind::AccessCode, handover, dialogs, nullptr);
    QCOMPARE(shown, QString());
    QVERIFY2(dialogs.done(), qPrintable(dialogs.report()));
}

// Binary lines are no parameter lines; the valid ones among them still count.
void FileFaultsTest::parameterReaderTakesBinary()
{
    QByteArray bytes = binaryBytes();
    bytes += "PARCHT 5\r\nPARPGM\0 1234\r\nPARMSG \xff\xfe\r\n";
    const QList<ParameterFile::Entry> entries = ParameterFile::read(TextFiles::fromFileBytes(bytes));
    QVERIFY(!entries.isEmpty());
    QCOMPARE(entries.first().value, QStringLiteral("005")); // PARCHT, zero-padded
    for (const ParameterFile::Entry& entry : entries)
        QVERIFY(!entry.value.contains(QChar(0)));
}

// A binary file sends its record lines byte for byte; a file that cannot be read
// is reported and sends nothing.
void FileFaultsTest::sendTakesBinaryAndReportsUnreadable()
{
    MainWindowFixture fixture;
    form1& window = fixture.show();
    window.findChild<QRadioButton*>(QStringLiteral("Option8"))->setChecked(true);
    SerialPort& port = window.MSComm1();
    port.setCommPort(1);
    port.setSettings(QStringLiteral("1200,N,8,1"));
    QVERIFY(port.open().ok);
    auto* send = window.findChild<QAbstractButton*>(QStringLiteral("sendfileg"));
    send->setEnabled(true);

    const QString path = m_environment.filePath(QStringLiteral("binary.TNT"));
    QVERIFY(writeFile(path, binaryBytes()));
    fixture.dialogs().expectOpenFile(path, QStringLiteral("Open Communication File"));
    QTest::mouseClick(send, Qt::LeftButton);
    QCOMPARE(fixture.pty().drain(), QByteArray("TNTDIR:1\0\xff\xfe NAME:\xc3\x28\r\nHLD 01\x80\r\n", 30));

    const QString folder = m_environment.filePath(QStringLiteral("folder.TNT"));
    QVERIFY(QDir().mkpath(folder));
    QFile probe(folder);
    QVERIFY(!probe.open(QIODevice::ReadOnly));
    fixture.dialogs().expectOpenFile(folder, QStringLiteral("Open Communication File"));
    fixture.dialogs().expectMessage(TextFiles::readFailureText(folder, probe.errorString()),
        QStringLiteral("Open file"), Dialogs::Answer::Ok, Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation);
    QTest::mouseClick(send, Qt::LeftButton);
    QCOMPARE(fixture.pty().drain(), QByteArray());
    QVERIFY(!window.findChild<QWidget*>(QStringLiteral("Progress"))->isVisible());
    QVERIFY(!QApplication::overrideCursor());
    QVERIFY2(fixture.dialogs().done(), qPrintable(fixture.dialogs().report()));
}

QTEST_MAIN(FileFaultsTest)
#include "tst_faults_files.moc"
