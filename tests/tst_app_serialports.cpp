#include "Pty.h"
#include "SerialDeviceList.h"
#include "SerialPortsDialog.h"
#include "SerialPortsMenu.h"
#include "SettingsStore.h"
#include "WindowTest.h"
#include "form1.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <functional>

namespace {

const QString FtdiStable = QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");
const SerialDevice Ftdi { .systemLocation = "/dev/ttyUSB0",
    .stableLocation = FtdiStable,
    .description = "FT232R USB UART",
    .manufacturer = "FTDI",
    .serialNumber = "A50285BI",
    .vendorId = 0x0403,
    .productId = 0x6001 };
// Held open by a terminal program.
const SerialDevice Busy {
    .systemLocation = "/dev/ttyACM0", .access = SerialDevice::Access::Busy, .holder = "minicom"
};

// Clicks into the box as a user does, then replaces its text with the one given
// (select all, type) or, given none, chooses its first entry with Down.
void enter(QComboBox* box, const QString& text = {})
{
    QTest::mouseClick(box->lineEdit(), Qt::LeftButton, {}, box->lineEdit()->rect().center());
    QTest::keyClick(box->lineEdit(), text.isEmpty() ? Qt::Key_Down : Qt::Key_A,
        text.isEmpty() ? Qt::NoModifier : Qt::ControlModifier);
    QTest::keyClicks(box->lineEdit(), text);
}

// Every row of the device list, its columns joined by '|'.
QStringList rowsOf(QTreeWidget* list)
{
    QStringList rows;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QStringList columns;
        for (int column = 0; column < list->columnCount(); ++column)
            columns << list->topLevelItem(i)->text(column);
        rows << columns.join('|');
    }
    return rows;
}

} // namespace

// Edit > Serial Ports: the device each port opens, chosen in the window.
class SerialPortsTest : public WindowTest
{
    Q_OBJECT

private:
    QList<SerialDevice> devices;

    // Opens the dialog through the Edit menu with the mouse and runs script in it,
    // which ends with the button or key given ("ok", "cancel", "Esc", Enter in the box
    // that has the focus, or Enter on Cancel reached by Tab).
    void inSerialPortsDialog(const char* closer, const std::function<void(SerialPortsDialog&)>& script)
    {
        auto* edit = m_window->findChild<QMenu*>(QStringLiteral("edit_file"));
        QMenuBar* bar = m_window->menuBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(edit->menuAction()).center());
        QVERIFY(QTest::qWaitForWindowExposed(edit));
        bool shown = false;
        QTimer::singleShot(0, this, [&] {
            auto* dialog = qobject_cast<SerialPortsDialog*>(QApplication::activeModalWidget());
            shown = dialog != nullptr;
            QVERIFY(shown);
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Serial Ports"));
            script(*dialog);
            if (QLatin1String(closer) == "Esc") {
                QTest::keyClick(dialog, Qt::Key_Escape);
            } else if (QLatin1String(closer) == "Enter in a box") {
                QTest::keyClick(dialog->focusWidget(), Qt::Key_Return);
            } else if (QLatin1String(closer) == "Tab to cancel, Enter") {
                QWidget* cancel = dialog->findChild<QWidget*>("cancel");
                for (int tabs = 0; tabs < 20 && dialog->focusWidget() != cancel; ++tabs)
                    QTest::keyClick(dialog->focusWidget(), Qt::Key_Tab);
                QTest::keyClick(cancel, Qt::Key_Enter, Qt::KeypadModifier);
            } else {
                QTest::mouseClick(dialog->findChild<QWidget*>(closer), Qt::LeftButton);
            }
            // A closer that failed, or a failed check, leaves the dialog open: close it
            // so the test goes on.
            if (dialog->isVisible()) {
                dialog->reject();
                QFAIL(closer);
            }
        });
        auto* item = m_window->findChild<QAction*>(QStringLiteral("serialPorts"));
        QTest::mouseClick(edit, Qt::LeftButton, {}, edit->actionGeometry(item).center());
        QVERIFY(shown);
    }

    QString stored(int number) const
    {
        return m_fixture->settings().value(QStringLiteral("Ports"), QStringLiteral("COM%1").arg(number));
    }

private slots:
    void init()
    {
        openWindow();
        devices = { Ftdi, Busy };
        m_window->findChild<SerialPortsMenu*>(QStringLiteral("serialPortsMenu"))->setDeviceSource([this] {
            return devices;
        });
    }

    void cleanup()
    {
        closeWindow();
        qunsetenv("VESTIBAR_COM1");
    }

    // The machine's adapters with what identifies them, the busy one said so before
    // Connect, the list following an unplug, Cancel (clicked, or focused and Enter) and
    // Esc storing nothing, OK (clicked, or Enter in a box) storing the choices. What is typed for port 2 is
    // what the next Connect on port 2 opens, and panel 2's tooltip names it; a change made while connected
    // waits for the next Connect. VESTIBAR_COM1 wins over port 1's choice for this run: the dialog says so
    // and still stores the operator's own choice.
    void devicesChosenStoredAndOpened()
    {
        Pty second;
        Pty forThisRun;
        qputenv("VESTIBAR_COM1", QFile::encodeName(forThisRun.slaveName()));
        const QString fixturePort = stored(1);
        for (const char* closer : { "cancel", "Esc", "Tab to cancel, Enter" }) {
            inSerialPortsDialog(closer, [&](SerialPortsDialog& dialog) {
                enter(dialog.portBox(1), QStringLiteral("/dev/ttyUSB7"));
                enter(dialog.portBox(3));
            });
            QCOMPARE(stored(1), fixturePort);
            QCOMPARE(stored(3), QString());
        }
        inSerialPortsDialog("ok", [&](SerialPortsDialog& dialog) {
            QComboBox* port1 = dialog.portBox(1);
            QComboBox* port2 = dialog.portBox(2);
            // What is stored shows; an empty box says which device it falls back to.
            QCOMPARE(port1->currentText(), fixturePort);
            QCOMPARE(port2->currentText(), QString());
            QCOMPARE(port2->lineEdit()->placeholderText(), QStringLiteral("/dev/ttyS1"));
            auto* list = dialog.findChild<QTreeWidget*>(QStringLiteral("devices"));
            QCOMPARE(rowsOf(list),
                QStringList({ "/dev/ttyUSB0|" + FtdiStable + "|FT232R USB UART|FTDI|A50285BI|0403:6001|Free",
                    "/dev/ttyACM0||||||Busy: minicom has it open." }));

            // The adapter is offered under its stable name, which survives re-plugging.
            enter(port1);
            QCOMPARE(port1->currentText(), FtdiStable);
            QCOMPARE(dialog.portNote(1)->text(),
                "For this run port 1 opens " + forThisRun.slaveName()
                    + " (set by VESTIBAR_COM1); what is chosen here applies once that is unset.");
            enter(port2, QStringLiteral("/dev/ttyACM0"));
            QCOMPARE(dialog.portNote(2)->text(), QStringLiteral("Busy: minicom has it open."));

            // The busy adapter is unplugged while the dialog is open: the list
            // follows, what was typed stays.
            devices = { Ftdi };
            QTRY_COMPARE(list->topLevelItemCount(), 1);
            QCOMPARE(port2->count(), 1);
            QCOMPARE(port2->currentText(), QStringLiteral("/dev/ttyACM0"));
            QCOMPARE(dialog.portNote(2)->text(), QStringLiteral("There is no device /dev/ttyACM0 now."));
            enter(port2, second.slaveName());
            QCOMPARE(dialog.portNote(2)->text(), QString());
        });
        QCOMPARE(stored(1), FtdiStable);
        QCOMPARE(stored(2), second.slaveName());
        // Ports left alone gain no entry.
        QCOMPARE(stored(3) + stored(4), QString());

        click("Option2");
        click("Option7");
        click("connect");
        QVERIFY(second.waitFor("COM\r\n"));
        const QString tip = control("panel2")->toolTip();
        QVERIFY2(tip.contains(second.slaveName()), qPrintable(tip));
        // Port 2 now mapped to the first terminal while it is open on the second.
        inSerialPortsDialog("Enter in a box",
            [&](SerialPortsDialog& dialog) { enter(dialog.portBox(2), m_fixture->pty().slaveName()); });
        click("close1");
        click("connect");
        QVERIFY(m_fixture->pty().waitFor("COM\r\n"));
        click("close1");
        click("Option1");
        click("connect");
        QVERIFY(forThisRun.waitFor("COM\r\n"));
        // Each line went to the device its port opened at that moment, and only there.
        QCOMPARE(m_fixture->pty().drain() + second.drain(), QByteArray("DIS\r\nDIS\r\n"));
        QCOMPARE(second.received(), QByteArray("COM\r\nDIS\r\n"));
        QCOMPARE(m_fixture->pty().received(), QByteArray("COM\r\nDIS\r\n"));
    }
};

QTEST_MAIN(SerialPortsTest)
#include "tst_app_serialports.moc"
