#pragma once

// The generated form is complete here so that every folder reaches the controls
// through ui() (its own AutoUic could not find form1.ui).
#include "WindowTiming.h"
#include "ui_form1.h"

#include <QCoro/QCoroTask>
#include <QList>
#include <QMainWindow>

#include <array>
#include <chrono>
#include <memory>

class CommandQueue;
class Dialogs;
class LinkSession;
class QIODevice;
class QLabel;
class QRadioButton;
class SettingsStore;
class Ticker;
class setform;

// The main window. It owns every control of the link, command, receive and send
// panels (reached through ui() by their design names), the one serial component,
// the status bar and the window-level variables. The subsystems' handlers live in
// their own folders and work on what this class exposes.
class form1 : public QMainWindow
{
    Q_OBJECT

public:
    form1(SettingsStore& settings, Dialogs& dialogs, WindowTiming timing = {}, QWidget* parent = nullptr);
    ~form1() override;

    Ui::form1& ui();
    // The serial component: the one owner of the line and of the command queue.
    LinkSession& MSComm1();
    CommandQueue& commands();
    Ticker& Timer1();
    Dialogs& dialogs();
    SettingsStore& settings();

    // The modem setting dialog, loaded invisibly on first use and
    // kept until its OK or Cancel unloads it.
    setform& settingDialog();

    // Status bar `bar` panels, numbered from 1 to 5.
    void setPanelText(int panel, const QString& text);
    QString panelText(int panel) const;
    QLabel* panel(int panel) const;

    // The communications log: open replaces nothing (the caller closes first); the
    // device is positioned where writes go (the end of the file).
    bool logOpen() const;
    void openLog(std::unique_ptr<QIODevice> device);
    QIODevice* logFile() const;
    void closeLog(); // closes it; does not touch Command3

    // WaitSeconds: restarts Timer1 and pauses the running command until the tick
    // count exceeds seconds (WaitSeconds(2) ends on the third tick); queued commands
    // run meanwhile. False when the command is being stopped (Disconnect, closing).
    QCoro::Task<bool> WaitSeconds(double seconds);
    // How long WaitSeconds(seconds) lasts.
    std::chrono::milliseconds waitLength(double seconds) const;
    // The PC's time of day and date, as the clock commands read them.
    QDateTime now() const;
    // The window's clock: tests put a fixed time in its place.
    void setClock(std::function<QDateTime()> clock);
    // True while a command is inside WaitSeconds.
    bool waiting() const;

    // Ends the running command and drops the queued ones and whatever line is still
    // held, and tells the operator once how many commands were not sent.
    void stopCommands();

    // RS232 mode: Option7 selected.
    bool rs232Mode() const;
    // The port buttons 1 to 4, and the number of the one selected (0: none).
    std::array<QRadioButton*, 4> portButtons() const;
    int selectedPort() const;
    // The link control set, in the order Disconnect disables it; the controls
    // "Send" enables, in its order.
    QList<QWidget*> linkControls() const;
    QList<QWidget*> programmingControls() const;
    // Status panels 3 ("Send Record:") and 2 ("Comm Number:").
    void showSendCount(qint64 count);
    void showCommNumber(int number);

    // Hourglass on this window (nests: every true needs its false).
    void setBusyPointer(bool busy);

    // True once the window has been asked to close.
    bool closing() const;

signals:
    // After the Load sequence has run (first show).
    void loaded();
    // At the start of Unload, before the settings are saved.
    void unloading();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void Form_Unload();
    void Timer1_Timer();
    void Command3_Click();
    void close_Click();
    void Setting_Click();
    void yess_Click();
    void unloadSettingDialog();

    std::unique_ptr<Ui::form1> m_ui;
    SettingsStore& m_settings;
    Dialogs& m_dialogs;
    LinkSession* m_link = nullptr;
    Ticker* m_timer1 = nullptr;
    std::function<QDateTime()> m_clock;
    setform* m_setform = nullptr;
    QLabel* m_panels[5] = {};
    std::unique_ptr<QIODevice> m_log;
    int m_tickCount = 0;
    int m_waits = 0;
    bool m_loaded = false;
    bool m_closing = false;
    bool m_unloaded = false;
    int m_busyDepth = 0;
    QList<QWidget*> m_linkControls;
    QList<QWidget*> m_programmingControls;
};
