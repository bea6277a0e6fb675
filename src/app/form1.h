#pragma once

// The generated form is complete here so that every folder reaches the controls
// through ui() (its own AutoUic could not find form1.ui).
#include "ui_form1.h"

#include <QList>
#include <QMainWindow>

#include <memory>

class Dialogs;
class QIODevice;
class QLabel;
class SerialPort;
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
    form1(SettingsStore& settings, Dialogs& dialogs, QWidget* parent = nullptr);
    ~form1() override;

    Ui::form1& ui();
    SerialPort& MSComm1();
    Ticker& Timer1();
    Dialogs& dialogs();
    SettingsStore& settings();

    // The modem setting dialog, loaded invisibly on first use and
    // kept until its OK or Cancel unloads it.
    setform& settingDialog();

    // Status bar `bar` panels, numbered from 1 to 5.
    void setPanelText(int panel, const QString& text);
    QString panelText(int panel) const;

    // Window-level variables.
    int logFileNumber() const;

    // The communications log: open replaces nothing (the caller closes first); the
    // device is positioned where writes go (the end of the file). logFileNumber()
    // becomes non-zero while a log is open.
    void openLog(std::unique_ptr<QIODevice> device);
    QIODevice* logFile() const;
    void closeLog(); // closes, sets logFileNumber to 0; does not touch Command3

    // WaitSeconds: restarts Timer1 and sleeps in a nested event loop until the tick
    // count exceeds seconds (WaitSeconds(2) returns on the third tick). Returns
    // false when the wait ended because the window is closing.
    bool WaitSeconds(double seconds);

    // RS232 mode: Option7 selected.
    bool rs232Mode() const;

    // Hourglass on this window (nests: every true needs its false).
    void setBusyPointer(bool busy);

    // The file name of the main window's open dialog (ComDialog1): the hand-over of
    // a chosen file to the editor that loads it.
    QString& openDialogFileName();

    // True once the window has begun to unload.
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
    SerialPort* m_comm = nullptr;
    Ticker* m_timer1 = nullptr;
    setform* m_setform = nullptr;
    QLabel* m_panels[5] = {};
    std::unique_ptr<QIODevice> m_log;
    int m_tickCount = 0;
    int m_logFileNumber = 0;
    QString m_openDialogFileName;
    bool m_loaded = false;
    bool m_closing = false;
    int m_busyDepth = 0;
    QList<QWidget*> m_linkControls;
};
