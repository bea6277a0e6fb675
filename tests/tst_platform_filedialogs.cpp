#include "QtDialogs.h"
#include "TestEnvironment.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

// The real file dialogs, driven with keys as an operator does.
class FileDialogsTest : public QObject
{
    Q_OBJECT

private:
    TestEnvironment environment;

private slots:
    // A log file is chosen in an open dialog, titled and with the filter preselected as
    // asked, under a name that does not exist yet: with the filter's extension, with
    // none, with another. The desktop's own open dialogs refuse such a name, so Qt's
    // own dialog must stand in; the name is taken exactly as typed.
    void logDialogTakesANewName()
    {
        const Dialogs::FileRequest request { .title = QStringLiteral("Open Communications Log Tenant File"),
            .filter = QStringLiteral("All Files (*.*)|*.*|TNT Files (*.TNT)|*.TNT"),
            .filterIndex = 2,
            .fileName = environment.path(),
            .mustExist = false };
        for (const QString typed : { "tenants.TNT", "tenants", "tenants.txt" }) {
            QString shown;
            QTimer::singleShot(0, this, [&] {
                auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
                QVERIFY(dialog && dialog->testOption(QFileDialog::DontUseNativeDialog));
                shown = dialog->windowTitle() + '|' + dialog->selectedNameFilter().section(" (", 0, 0);
                auto* box = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                QTest::mouseClick(box, Qt::LeftButton);
                QTest::keyClicks(box, typed);
                QTest::keyClick(box, Qt::Key_Return);
                if (dialog->isVisible())
                    dialog->reject();
            });
            const std::optional<QString> chosen = QtDialogs().openFile(request);
            QVERIFY2(chosen, qPrintable(typed));
            QCOMPARE(shown, request.title + "|TNT Files");
            QCOMPARE(QFileInfo(*chosen).absoluteFilePath(),
                QFileInfo(environment.filePath(typed)).absoluteFilePath());
        }
    }
};

QTEST_MAIN(FileDialogsTest)
#include "tst_platform_filedialogs.moc"
