#include "Dialogs.h"
#include "TestEnvironment.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace std::chrono_literals;

// The real file dialogs, driven with keys as an operator does.
class FileDialogsTest : public QObject
{
    Q_OBJECT

private:
    TestEnvironment environment { 20ms };

    // Runs request through the real dialogs, typing name into the file name box and
    // pressing Enter; returns what the dialog gave.
    std::optional<QString> openTyping(const Dialogs::FileRequest& request, const QString& name, bool& native)
    {
        QtDialogs dialogs;
        QObject context; // no look is left pending once this returns
        std::function<void()> drive = [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog) {
                QTimer::singleShot(10, &context, drive);
                return;
            }
            native = !dialog->testOption(QFileDialog::DontUseNativeDialog);
            auto* box = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QVERIFY(box);
            QTest::mouseClick(box, Qt::LeftButton);
            QTest::keyClicks(box, name);
            QTest::keyClick(box, Qt::Key_Return);
            if (dialog->isVisible())
                dialog->reject();
        };
        QTimer::singleShot(0, &context, drive);
        return dialogs.openFile(request);
    }

private slots:
    // A log file is chosen in an open dialog under a name that does not exist yet.
    // The desktop's own open dialogs (GTK, KDE's) refuse such a name, so Qt's own
    // dialog must stand in; the name is taken exactly as typed.
    void logDialogTakesANewName_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("new name with the filter's extension") << "tenants.TNT";
        QTest::newRow("no extension") << "tenants";
        QTest::newRow("another extension") << "tenants.txt";
    }

    void logDialogTakesANewName()
    {
        QFETCH(QString, typed);
        Dialogs::FileRequest request;
        request.title = QStringLiteral("Open Communications Log Tenant File");
        request.filter = QStringLiteral("TNT Files (*.TNT)|*.TNT");
        request.fileName = environment.path();
        request.mustExist = false;
        bool native = true;
        const std::optional<QString> chosen = openTyping(request, typed, native);
        QVERIFY(!native);
        QVERIFY(chosen);
        QCOMPARE(
            QFileInfo(*chosen).absoluteFilePath(), QFileInfo(environment.filePath(typed)).absoluteFilePath());
    }
};

QTEST_MAIN(FileDialogsTest)
#include "tst_platform_filedialogs.moc"
