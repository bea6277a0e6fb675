#include "MainWindowFixture.h"

#include "TestEnvironment.h"

#include "CommandQueue.h"
#include "Pty.h"
#include "ScriptedDialogs.h"
#include "SettingsStore.h"
#include "Vestibar.h"
#include "form1.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>

namespace {
QAbstractButton* button(form1& window, const char* name)
{
    auto* found = window.findChild<QAbstractButton*>(QLatin1String(name));
    if (!found)
        qFatal("the main window has no button %s", name);
    return found;
}
} // namespace

QStringList linkControlSet()
{
    return QStringLiteral(
        "message rlm Command2 Mastercode clearats clearhld cleartmz cleartnt clearacd medittnt meditacd "
        "hldc atsc tmzc date clearevr upload download sendfileg tone Pluse singleg Multi endg RtRTc "
        "uptalktime opentime1 opentime2 lockcount systemid manualdoor1 manualdoor2 Newmastcode up_all "
        "up_par up_tnt up_evr up_hlp MEDIT7 medit8 medit6 nonpbx PBX ARN FCN OWR nowr Medit_New_mastercode")
        .split(QLatin1Char(' '));
}

void clickControl(QWidget* control)
{
    QPoint at = control->rect().center();
    if (auto* box = qobject_cast<QAbstractButton*>(control);
        box && (qobject_cast<QRadioButton*>(box) || qobject_cast<QCheckBox*>(box))) {
        QStyleOptionButton option;
        option.initFrom(box);
        option.text = box->text();
        const QStyle::SubElement element = qobject_cast<QRadioButton*>(box) ? QStyle::SE_RadioButtonClickRect
                                                                            : QStyle::SE_CheckBoxClickRect;
        at = box->style()->subElementRect(element, &option, box).center();
    }
    QTest::mouseClick(control, Qt::LeftButton, {}, at);
}

void clickInside(QWidget* box, double across)
{
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(int(box->width() * across), box->height() / 2));
}

MainWindowFixture::MainWindowFixture(WindowTiming timing)
    : m_timing(std::move(timing))
    , m_settings(std::make_unique<SettingsStore>())
    , m_dialogs(std::make_unique<ScriptedDialogs>())
    , m_pty(std::make_unique<Pty>())
{
    m_settings->setValue(QStringLiteral("Ports"), QStringLiteral("COM1"), m_pty->slaveName());
}

MainWindowFixture::~MainWindowFixture()
{
    // As the operator closes it: the running command ends first.
    if (m_window) {
        m_window->close();
        QTRY_VERIFY_WITH_TIMEOUT(m_window->commands().idle(), 10000);
    }
    m_window.reset();
}

form1& MainWindowFixture::show()
{
    if (!m_window) {
        m_window = Vestibar::createMainWindow(*m_settings, *m_dialogs, m_timing);
        m_window->show();
    }
    return *m_window;
}

void MainWindowFixture::connectRs232()
{
    form1& main = show();
    clickControl(button(main, "Option1"));
    clickControl(button(main, "Option7"));
    QTest::mouseClick(button(main, "connect"), Qt::LeftButton);
    m_pty->waitFor("COM\r\n");
    QTRY_VERIFY_WITH_TIMEOUT(main.commands().idle(), 10000);
    m_pty->drain();
    m_pty->take();
}
