#include "MonitorRecord.h"

#include "MonitorFormat.h"
#include "SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace {
const QString MonitorSection = QStringLiteral("Monitor");
const QString RecordKey = QStringLiteral("Record");
const QString FolderKey = QStringLiteral("Folder");
} // namespace

MonitorRecord::MonitorRecord(SettingsStore& settings, QObject* parent)
    : QObject(parent)
    , m_settings(settings)
    , m_enabled(settings.value(MonitorSection, RecordKey) == QLatin1String("True"))
    , m_folder(settings.value(MonitorSection, FolderKey))
{
}

MonitorRecord::~MonitorRecord() = default;

void MonitorRecord::setEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    m_settings.setValue(
        MonitorSection, RecordKey, enabled ? QStringLiteral("True") : QStringLiteral("False"));
    if (!enabled) {
        m_file.reset();
        m_problem.clear();
    }
    emit changed();
}

QString MonitorRecord::folder() const
{
    if (!m_folder.isEmpty())
        return m_folder;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return documents.isEmpty() ? QDir::homePath() : documents;
}

void MonitorRecord::setFolder(const QString& folder)
{
    m_folder = folder;
    m_settings.setValue(MonitorSection, FolderKey, folder);
    emit changed();
}

QString MonitorRecord::filePath() const
{
    return m_file ? m_file->fileName() : QString();
}

void MonitorRecord::startSession(const QDateTime& at)
{
    m_file.reset();
    m_problem.clear();
    if (!m_enabled) {
        emit changed();
        return;
    }
    const QDir dir(folder());
    if (!dir.exists() && !dir.mkpath(QStringLiteral("."))) {
        fail(tr("The folder %1 could not be made.").arg(QDir::toNativeSeparators(dir.path())));
        return;
    }
    // Two Connects within a second: the second session gets a file of its own.
    const QString name = MonitorFormat::recordFileName(at);
    QString path = dir.filePath(name);
    for (int n = 2; QFile::exists(path); ++n)
        path = dir.filePath(name.chopped(4) + QStringLiteral("-%1.txt").arg(n));
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::WriteOnly | QIODevice::Append)) {
        fail(file->errorString());
        return;
    }
    m_file = std::move(file);
    m_file->write(MonitorFormat::headerLine());
    emit changed();
}

void MonitorRecord::append(const QByteArray& lines)
{
    if (!m_file)
        return;
    // Flushed at once: the record is whole up to the last batch if the tool stops.
    if (m_file->write(lines) != lines.size() || !m_file->flush())
        fail(m_file->errorString());
}

void MonitorRecord::fail(const QString& problem)
{
    m_file.reset();
    m_problem = problem;
    emit changed();
}
