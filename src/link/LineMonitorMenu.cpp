#include "LineMonitorMenu.h"

#include "LineMonitorLog.h"
#include "LineMonitorWindow.h"
#include "MonitorRecord.h"
#include "form1.h"

#include <QAction>
#include <QMenu>

LineMonitorMenu::LineMonitorMenu(form1& window)
    : QObject(&window)
    , m_window(window)
    , m_log(new LineMonitorLog(window.MSComm1(), this))
    , m_record(new MonitorRecord(window.settings(), this))
{
    setObjectName(QStringLiteral("lineMonitorMenu"));
    connect(m_log, &LineMonitorLog::sessionStarted, m_record, &MonitorRecord::startSession);
    connect(m_log, &LineMonitorLog::recorded, m_record, &MonitorRecord::append);
    m_log->setRecording(m_record->enabled());
    connect(m_record, &MonitorRecord::changed, m_log, [this] { m_log->setRecording(m_record->enabled()); });

    Ui::form1& ui = window.ui();
    auto* action = new QAction(tr("Line &Monitor..."), &window);
    action->setObjectName(QStringLiteral("lineMonitor"));
    const QList<QAction*> items = ui.edit_file->actions();
    const qsizetype at = items.indexOf(ui.serialPorts);
    ui.edit_file->insertAction(at >= 0 && at + 1 < items.size() ? items.at(at + 1) : nullptr, action);
    connect(action, &QAction::triggered, this, &LineMonitorMenu::lineMonitor_Click);
}

LineMonitorMenu::~LineMonitorMenu()
{
    // What came in the last moments belongs in the record too.
    m_log->finish();
}

void LineMonitorMenu::lineMonitor_Click()
{
    if (!m_monitor)
        m_monitor = new LineMonitorWindow(*m_log, *m_record, m_window.dialogs(), &m_window);
    m_monitor->show();
    m_monitor->raise();
    m_monitor->activateWindow();
}
