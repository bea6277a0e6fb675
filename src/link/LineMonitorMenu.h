#pragma once

#include <QObject>
#include <QPointer>

class LineMonitorLog;
class LineMonitorWindow;
class MonitorRecord;
class form1;

// Edit > "Line Monitor...", right after "Serial Ports...". The monitor's rows and
// the session record live as long as the main window, so the record is written and
// the session is there to see whether or not the monitor window is open.
class LineMonitorMenu : public QObject
{
    Q_OBJECT

public:
    explicit LineMonitorMenu(form1& window);
    ~LineMonitorMenu() override;

    LineMonitorLog& log() { return *m_log; }

private:
    void lineMonitor_Click();

    form1& m_window;
    LineMonitorLog* m_log;
    MonitorRecord* m_record;
    QPointer<LineMonitorWindow> m_monitor;
};
