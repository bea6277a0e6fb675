#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <chrono>
#include <memory>

class QWidget;

// Per-test-program environment: HOME and XDG_CONFIG_HOME (so the settings store)
// in a temporary folder, no VESTIBAR_COM<n> from outside.
class TestEnvironment
{
public:
    TestEnvironment();
    ~TestEnvironment();

    QString path() const { return m_dir.path(); } // the temporary folder
    QString filePath(const QString& name) const { return m_dir.filePath(name); } // a file in it
    // Writes a file in it; returns its path.
    QString writeFile(const QString& name, const QByteArray& bytes) const;
    // Something to choose in a file dialog: a path starting with "/" as it is (a
    // device), "pipe" a named pipe made in the folder, else a file of these bytes.
    QString chosenPath(const QString& name, const QByteArray& bytes) const;

    // Removes every stored setting.
    void clearSettings();

private:
    QTemporaryDir m_dir;
};

// A file's bytes, or "<missing>" when it cannot be read.
QByteArray fileBytes(const QString& path);

// Root writes into any file: a test of a file that cannot be written runs as
// "nobody" while this lives (on Unix, when started as root). The saved user id stays
// 0, so the test returns to root afterwards.
class Unprivileged
{
public:
    Unprivileged();
    ~Unprivileged();
    // False when running as root could not be left.
    bool effective() const;

private:
    bool m_switched = false;
};

// Clicks a control with the mouse where a user would: a radio button or a check
// box on its indicator and label (their blank right part takes no click), anything
// else in its middle.
void clickControl(QWidget* control);

// The link control set as the window's design names it: the 48 controls that start
// disabled and that Disconnect disables again.
QStringList linkControlSet();
// Clicks a box at the given share of its width (0.9: its right part), halfway down.
void clickInside(QWidget* box, double across);
