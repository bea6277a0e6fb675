#pragma once

// The generated form is complete here, so tests reach the controls through ui().
#include "ui_setform.h"

#include <QDialog>

#include <memory>

class Dialogs;
class SettingsStore;

// The modem comm setting dialog: the modem setting string sent before dialling and
// the byte cycle that paces a file send. Constructing it is its Load: the boxes hold
// the stored values from then on, whether or not it is ever shown.
class setform : public QDialog
{
    Q_OBJECT

public:
    setform(SettingsStore& settings, Dialogs& dialogs, QWidget* parent = nullptr);
    ~setform() override;

    Ui::setform& ui();

    // Text1: the modem setting string as it stands in the box.
    QString modemSetting() const;
    // Combo1's text: the byte cycle in milliseconds, possibly empty.
    QString byteCycle() const;

signals:
    // OK or Cancel unloaded the dialog; its owner lets it go (the next use loads
    // a fresh one from the settings).
    void unloaded();

private:
    void Form_Load();
    void Command1_Click();
    void Command2_Click();
    void unload();

    std::unique_ptr<Ui::setform> m_ui;
    SettingsStore& m_settings;
    Dialogs& m_dialogs;
};
