#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>

#include <memory>

class QFile;
class SettingsStore;

// The session record: when it is on, every Connect starts a file in the chosen
// folder and every row of the line monitor is appended to it as it comes. The
// choice is kept in the settings store.
class MonitorRecord : public QObject
{
    Q_OBJECT

public:
    explicit MonitorRecord(SettingsStore& settings, QObject* parent = nullptr);
    ~MonitorRecord() override;

    bool enabled() const { return m_enabled; }
    void setEnabled(bool enabled);
    // The folder the files go to (the documents folder until one is chosen).
    QString folder() const;
    void setFolder(const QString& folder);

    // The file being written, empty when none.
    QString filePath() const;
    // Why the last file could not be written, empty when it could.
    QString problem() const { return m_problem; }

    // A Connect: ends the present file and, when on, starts the next.
    void startSession(const QDateTime& at);
    // Rows as lines of the record.
    void append(const QByteArray& lines);

signals:
    void changed();

private:
    void fail(const QString& problem);

    SettingsStore& m_settings;
    bool m_enabled = false;
    QString m_folder;
    std::unique_ptr<QFile> m_file;
    QString m_problem;
};
