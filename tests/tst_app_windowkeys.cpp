// What only a window system shows: the caret after the operator comes back to the
// window or closes a menu, and the menus' access keys. Run on xcb under Xvfb.
#include "MaskedEdit.h"
#include "PlainEdit.h"
#include "WindowTest.h"
#include "form1.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

class WindowKeysTest : public WindowTest
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs a window system (xcb)");
    }

    // "12" typed, then another window is used, or a menu opened and closed: "34"
    // goes on after "12".
    void caretKeptOnComingBack_data()
    {
        QTest::addColumn<bool>("masked");
        QTest::addColumn<bool>("menu"); // a menu instead of another window
        QTest::newRow("masked box, other window") << true << false;
        QTest::newRow("masked box, menu") << true << true;
        QTest::newRow("plain box, other window") << false << false;
    }

    void caretKeptOnComingBack()
    {
        QFETCH(bool, masked);
        QFETCH(bool, menu);
        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(new QLineEdit(&window));
        QLineEdit* box = nullptr;
        if (masked) {
            auto* maskedBox = new MaskedEdit(&window);
            maskedBox->setDigitMask(QStringLiteral("####"));
            box = maskedBox;
        } else {
            box = new QLineEdit(&window);
            PlainEdit::install(box);
        }
        layout->addWidget(box);
        // Xvfb has no window manager to activate a new window.
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        clickInside(box, 0.1);
        QTest::keyClicks(box, "12");
        if (menu) {
            QMenu popup;
            popup.addAction(QStringLiteral("Copy"));
            popup.popup(box->mapToGlobal(box->rect().center()));
            QVERIFY(QTest::qWaitForWindowExposed(&popup));
            popup.close();
        } else {
            QWidget other;
            other.show();
            other.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&other));
            window.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&window));
        }
        QTRY_VERIFY(box->hasFocus());
        QTest::keyClicks(box, "34");
        QCOMPARE(box->text().trimmed(), QStringLiteral("1234"));
    }

    // Alt and a menu's key open it; the item's key lands on that item. The items'
    // own work is cut off: "&Close" would end the program.
    void accessKeys_data()
    {
        QTest::addColumn<char>("menuKey");
        QTest::addColumn<char>("itemKey");
        QTest::addColumn<QString>("item");
        QTest::newRow("Alt+F, C: Close") << 'F' << 'C' << "close";
        QTest::newRow("Alt+E, O: Serial Ports") << 'E' << 'O' << "serialPorts";
    }

    void accessKeys()
    {
        QFETCH(char, menuKey);
        QFETCH(char, itemKey);
        QFETCH(QString, item);
        openWindow(false);
        m_window = &m_fixture->show();
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window));
        auto* action = m_window->findChild<QAction*>(item);
        QVERIFY(action);
        QObject::disconnect(action, &QAction::triggered, nullptr, nullptr);
        QSignalSpy triggered(action, &QAction::triggered);
        QWindow* handle = m_window->windowHandle();
        QTest::keyClick(handle, Qt::Key(menuKey), Qt::AltModifier);
        QTRY_VERIFY(QApplication::activePopupWidget());
        QTest::keyClick(QApplication::activePopupWidget()->windowHandle(), Qt::Key(itemKey));
        QTRY_COMPARE(triggered.count(), 1);
        closeWindow();
    }
};

QTEST_MAIN(WindowKeysTest)
#include "tst_app_windowkeys.moc"
