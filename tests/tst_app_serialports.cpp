#include "Pty.h"
#include "ScriptedDialogs.h"
#include "SerialDeviceList.h"
#include "SerialPortsDialog.h"
#include "SerialPortsMenu.h"
#include "SettingsStore.h"
#include "TestEnvironment.h"
#include "form1.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <functional>

using namespace std::chrono_literals;

namespace {

const QString Ports = QStringLiteral("Ports");

SerialDevice ftdiAdapter()
{
    return { .systemLocation = "/dev/ttyUSB0",
        .stableLocation = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0",
        .description = "FT232R USB UART",
        .manufacturer = "FTDI",
        .serialNumber = "A50285BI",
        .vendorId = 0x0403,
        .productId = 0x6001 };
}

// Held open by a terminal program.
SerialDevice busyAdapter()
{
    return { .systemLocation = "/dev/ttyACM0",
        .description = "USB-Serial Controller",
        .manufacturer = "Prolific Technology Inc.",
        .vendorId = 0x067b,
        .productId = 0x2303,
        .access = SerialDevice::Access::Busy,
        .holder = "minicom" };
}

SerialDevice lateAdapter()
{
    return { .systemLocation = "/dev/ttyUSB1",
        .stableLocation = "/dev/serial/by-id/usb-1a86_USB_Serial-if00-port0",
        .description = "USB Serial",
        .vendorId = 0x1a86,
        .productId = 0x7523 };
}

template <typename T = QWidget> T* child(QObject& parent, const QString& name)
{
    T* found = parent.findChild<T*>(name);
    if (!found)
        qFatal("no child %s", qPrintable(name));
    return found;
}

QPushButton* buttonWithText(QWidget& parent, const QString& text)
{
    for (QPushButton* button : parent.findChildren<QPushButton*>()) {
        if (button->text() == text)
            return button;
    }
    return nullptr;
}

// The device box an assistive tool finds by its name.
QComboBox* boxNamed(QWidget& dialog, const QString& accessibleName)
{
    for (QComboBox* box : dialog.findChildren<QComboBox*>()) {
        if (box->accessibleName() == accessibleName)
            return box;
    }
    return nullptr;
}

// Replaces a box's text as a user does: click into it, select all, type.
void typeInto(QComboBox* box, const QString& text)
{
    QTest::mouseClick(box->lineEdit(), Qt::LeftButton, {}, box->lineEdit()->rect().center());
    QTest::keyClick(box->lineEdit(), Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty())
        QTest::keyClick(box->lineEdit(), Qt::Key_Delete);
    else
        QTest::keyClicks(box->lineEdit(), text);
}

// Opens the box's list with a click on its arrow and chooses the entry with text by
// keys (a click in a list just opened counts as the end of the opening click).
bool pickFromList(QComboBox* box, const QString& text)
{
    QStyleOptionComboBox option;
    option.initFrom(box);
    option.editable = true;
    const QRect arrow
        = box->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, box);
    QTest::mouseClick(box, Qt::LeftButton, {}, arrow.center());
    QAbstractItemView* list = box->view();
    if (!QTest::qWaitForWindowExposed(list->window()))
        return false;
    const int row = box->findText(text);
    if (row < 0)
        return false;
    QTest::keyClick(list, Qt::Key_Home);
    for (int i = 0; i < row; ++i)
        QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Return);
    return box->currentText() == text;
}

QStringList itemsOf(QComboBox* box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

QTreeWidgetItem* rowOf(QTreeWidget* list, const QString& location)
{
    const QList<QTreeWidgetItem*> found = list->findItems(location, Qt::MatchExactly, 0);
    return found.isEmpty() ? nullptr : found.first();
}

} // namespace

// Edit > Serial Ports: the device each port opens, chosen in the window.
class SerialPortsTest : public QObject
{
    Q_OBJECT

private:
    TestEnvironment environment { 20ms };
    std::unique_ptr<MainWindowFixture> fixture;
    QList<SerialDevice> devices;

    form1& window() { return fixture->window(); }

    // Opens the dialog through the Edit menu with the mouse and runs script in it;
    // returns false when the dialog did not show.
    bool inSerialPortsDialog(const std::function<void(SerialPortsDialog&)>& script)
    {
        form1& main = window();
        auto* edit = child<QMenu>(main, QStringLiteral("edit_file"));
        QMenuBar* bar = main.menuBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(edit->menuAction()).center());
        if (!QTest::qWaitForWindowExposed(edit))
            return false;
        bool shown = false;
        QObject context; // no look is left pending once this returns
        std::function<void()> drive = [&] {
            auto* dialog = qobject_cast<SerialPortsDialog*>(QApplication::activeModalWidget());
            if (!dialog) {
                QTimer::singleShot(10, &context, drive);
                return;
            }
            shown = true;
            script(*dialog);
            // A failed check leaves the dialog open: close it so the test goes on.
            if (dialog->isVisible())
                dialog->reject();
        };
        QTimer::singleShot(0, &context, drive);
        auto* item = child<QAction>(main, QStringLiteral("serialPorts"));
        QTest::mouseClick(edit, Qt::LeftButton, {}, edit->actionGeometry(item).center());
        return shown;
    }

    QString stored(int number) const
    {
        return fixture->settings().value(Ports, QStringLiteral("COM%1").arg(number));
    }

    QString panelTip() { return child<QLabel>(window(), QStringLiteral("panel2"))->toolTip(); }

    // A first run's connect: port and RS232 chosen, nothing typed in the phone box.
    void pressConnectInRs232(int port)
    {
        form1& main = window();
        clickControl(child(main, QStringLiteral("Option%1").arg(port)));
        clickControl(child(main, QStringLiteral("Option7")));
        QTest::mouseClick(child(main, QStringLiteral("connect")), Qt::LeftButton);
    }

private slots:
    void init()
    {
        environment.clearSettings();
        fixture = std::make_unique<MainWindowFixture>();
        devices = { ftdiAdapter(), busyAdapter() };
        fixture->show();
        child<SerialPortsMenu>(window(), QStringLiteral("serialPortsMenu"))->setDeviceSource([this] {
            return devices;
        });
    }

    void cleanup()
    {
        QVERIFY2(fixture->dialogs().done(), qPrintable(fixture->dialogs().report()));
        fixture.reset();
        qunsetenv("VESTIBAR_COM1");
    }

    // The machine's adapters with what identifies them, the busy one said so before
    // Connect, the list following a plug and an unplug, and OK storing the choices.
    void devicesListedChosenAndStored()
    {
        const QString fixturePort = stored(1);
        QVERIFY(inSerialPortsDialog([&](SerialPortsDialog& dialog) {
            QCOMPARE(dialog.windowTitle(), QStringLiteral("Serial Ports"));
            QComboBox* port1 = boxNamed(dialog, QStringLiteral("Port 1"));
            QComboBox* port2 = boxNamed(dialog, QStringLiteral("Port 2"));
            QVERIFY(port1 && port2 && boxNamed(dialog, QStringLiteral("Port 3"))
                && boxNamed(dialog, QStringLiteral("Port 4")));
            // What is stored shows; an empty box says which device it falls back to.
            QCOMPARE(port1->currentText(), fixturePort);
            QCOMPARE(port2->currentText(), QString());
            QCOMPARE(port2->lineEdit()->placeholderText(), QStringLiteral("/dev/ttyS1"));

            auto* list = child<QTreeWidget>(dialog, QStringLiteral("devices"));
            QCOMPARE(list->topLevelItemCount(), 2);
            QTreeWidgetItem* ftdi = rowOf(list, QStringLiteral("/dev/ttyUSB0"));
            QVERIFY(ftdi);
            const QString ftdiRow
                = QStringList({ ftdi->text(1), ftdi->text(2), ftdi->text(3), ftdi->text(4), ftdi->text(5) })
                      .join(QLatin1Char('|'));
            QCOMPARE(ftdiRow,
                QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0|FT232R USB "
                               "UART|FTDI|A50285BI|0403:6001"));
            QTreeWidgetItem* busy = rowOf(list, QStringLiteral("/dev/ttyACM0"));
            QVERIFY(busy);
            QCOMPARE(busy->text(5), QStringLiteral("067b:2303"));
            QVERIFY2(busy->text(6).contains(QLatin1String("Busy")) && busy->text(6).contains("minicom"),
                qPrintable(busy->text(6)));
            QVERIFY(!ftdi->text(6).contains(QLatin1String("Busy")));

            // The adapter is offered under its stable name, which survives re-plugging.
            QCOMPARE(itemsOf(port1),
                QStringList({ ftdiAdapter().stableLocation, QStringLiteral("/dev/ttyACM0") }));
            QVERIFY(pickFromList(port1, ftdiAdapter().stableLocation));
            QCOMPARE(dialog.portNote(1)->text(), QString());
            typeInto(port2, QStringLiteral("/dev/ttyACM0"));
            QVERIFY2(dialog.portNote(2)->text().contains(QLatin1String("minicom")),
                qPrintable(dialog.portNote(2)->text()));

            // The busy adapter is unplugged and another one plugged in while the
            // dialog is open: the list follows, what was typed stays.
            devices = { ftdiAdapter(), lateAdapter() };
            QTRY_VERIFY(rowOf(list, QStringLiteral("/dev/ttyUSB1")));
            QVERIFY(!rowOf(list, QStringLiteral("/dev/ttyACM0")));
            QCOMPARE(
                itemsOf(port2), QStringList({ ftdiAdapter().stableLocation, lateAdapter().stableLocation }));
            QCOMPARE(port1->currentText(), ftdiAdapter().stableLocation);
            QCOMPARE(port2->currentText(), QStringLiteral("/dev/ttyACM0"));
            QVERIFY(!dialog.portNote(2)->text().contains(QLatin1String("minicom")));

            QTest::keyClick(port2->lineEdit(), Qt::Key_Return);
            QVERIFY(!dialog.isVisible());
        }));
        QCOMPARE(stored(1), ftdiAdapter().stableLocation);
        QCOMPARE(stored(2), QStringLiteral("/dev/ttyACM0"));
        // Ports left alone gain no entry.
        QCOMPARE(stored(3) + stored(4), QString());
    }

    // A pseudo-terminal typed for port 2 is what the next Connect on port 2 opens,
    // and panel 2's tooltip names it; a change made while connected waits for the
    // next Connect.
    void typedPathOpenedByTheNextConnect()
    {
        Pty second;
        QVERIFY(second.isOpen());
        QVERIFY(inSerialPortsDialog([&](SerialPortsDialog& dialog) {
            typeInto(boxNamed(dialog, QStringLiteral("Port 2")), second.slaveName());
            QVERIFY(dialog.portNote(2)->text().isEmpty());
            QTest::mouseClick(buttonWithText(dialog, QStringLiteral("OK")), Qt::LeftButton);
        }));
        QCOMPARE(stored(2), second.slaveName());

        pressConnectInRs232(2);
        QVERIFY(second.waitFor("COM\r\n"));
        QCOMPARE(fixture->pty().drain(), QByteArray());
        QCOMPARE(window().panelText(2), QStringLiteral("Comm Number:  2"));
        QVERIFY2(panelTip().contains(second.slaveName()), qPrintable(panelTip()));

        // Port 2 now mapped back to the first terminal while it is open on the second.
        QVERIFY(inSerialPortsDialog([&](SerialPortsDialog& dialog) {
            typeInto(boxNamed(dialog, QStringLiteral("Port 2")), fixture->pty().slaveName());
            QTest::mouseClick(buttonWithText(dialog, QStringLiteral("OK")), Qt::LeftButton);
        }));
        QVERIFY2(panelTip().contains(second.slaveName()), qPrintable(panelTip()));
        QTest::mouseClick(child(window(), QStringLiteral("close1")), Qt::LeftButton);
        QVERIFY(second.waitFor("DIS\r\n"));
        QVERIFY2(panelTip().contains(fixture->pty().slaveName()), qPrintable(panelTip()));
        QTest::mouseClick(child(window(), QStringLiteral("connect")), Qt::LeftButton);
        QVERIFY(fixture->pty().waitFor("COM\r\n"));
    }

    void cancelChangesNothing_data()
    {
        QTest::addColumn<bool>("byEscape");
        QTest::newRow("Cancel button") << false;
        QTest::newRow("Esc key") << true;
    }

    void cancelChangesNothing()
    {
        QFETCH(bool, byEscape);
        const QString before = stored(1);
        const QString tipBefore = panelTip();
        QVERIFY(inSerialPortsDialog([&](SerialPortsDialog& dialog) {
            QComboBox* port1 = boxNamed(dialog, QStringLiteral("Port 1"));
            typeInto(port1, QStringLiteral("/dev/ttyUSB7"));
            QVERIFY(pickFromList(boxNamed(dialog, QStringLiteral("Port 3")), QStringLiteral("/dev/ttyACM0")));
            if (byEscape)
                QTest::keyClick(port1->lineEdit(), Qt::Key_Escape);
            else
                QTest::mouseClick(buttonWithText(dialog, QStringLiteral("Cancel")), Qt::LeftButton);
            QVERIFY(!dialog.isVisible());
        }));
        QCOMPARE(stored(1), before);
        QCOMPARE(stored(3), QString());
        QCOMPARE(panelTip(), tipBefore);
    }

    // VESTIBAR_COM<n> wins for this run: the dialog says so, keeps showing and
    // storing the operator's own choice, and Connect opens the variable's device.
    void variableOverrideShown()
    {
        Pty forThisRun;
        qputenv("VESTIBAR_COM1", QFile::encodeName(forThisRun.slaveName()));
        const QString ownChoice = stored(1);
        QVERIFY(inSerialPortsDialog([&](SerialPortsDialog& dialog) {
            QCOMPARE(boxNamed(dialog, QStringLiteral("Port 1"))->currentText(), ownChoice);
            const QString note = dialog.portNote(1)->text();
            QVERIFY2(note.contains(QLatin1String("VESTIBAR_COM1")) && note.contains(forThisRun.slaveName()),
                qPrintable(note));
            for (int n = 2; n <= 4; ++n)
                QVERIFY(!dialog.portNote(n)->text().contains(QLatin1String("VESTIBAR_COM")));
            QTest::mouseClick(buttonWithText(dialog, QStringLiteral("OK")), Qt::LeftButton);
        }));
        QCOMPARE(stored(1), ownChoice);

        clickControl(child(window(), QStringLiteral("Option1")));
        QVERIFY2(panelTip().contains(forThisRun.slaveName()) && panelTip().contains("VESTIBAR_COM1"),
            qPrintable(panelTip()));
        pressConnectInRs232(1);
        QVERIFY(forThisRun.waitFor("COM\r\n"));
        QCOMPARE(fixture->pty().drain(), QByteArray());
    }
};

QTEST_MAIN(SerialPortsTest)
#include "tst_app_serialports.moc"
