#pragma once

#include <QWidget>

#include <memory>

class Dialogs;
class LineMonitorLog;
class MonitorRecord;

namespace Ui {
class LineMonitorWindow;
}

// Edit > "Line Monitor...": every byte of the session in both directions with the
// link's marks, the whole session saved as text, and the session record's setting.
// It only watches: nothing it does reaches the line or the main window.
class LineMonitorWindow : public QWidget
{
    Q_OBJECT

public:
    LineMonitorWindow(
        LineMonitorLog& log, MonitorRecord& record, Dialogs& dialogs, QWidget* parent = nullptr);
    ~LineMonitorWindow() override;

private:
    void showHex_Toggled(bool on);
    void save_Click();
    void record_Toggled(bool on);
    void folder_Click();
    void updateRecordLabel();
    void updateTrimmedLabel();

    std::unique_ptr<Ui::LineMonitorWindow> m_ui;
    LineMonitorLog& m_log;
    MonitorRecord& m_record;
    Dialogs& m_dialogs;
    bool m_followEnd = true;
};
