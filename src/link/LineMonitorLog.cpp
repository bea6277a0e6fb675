#include "LineMonitorLog.h"

#include "LinkSession.h"

#include <QFont>
#include <QIODevice>
#include <QTimer>

using MonitorFormat::Direction;
using MonitorFormat::Row;

LineMonitorLog::LineMonitorLog(LinkSession& link, QObject* parent)
    : QAbstractTableModel(parent)
    , m_link(link)
    , m_clock([] { return QDateTime::currentDateTime(); })
    , m_quiet(new QTimer(this))
    , m_batch(new QTimer(this))
{
    m_quiet->setSingleShot(true);
    m_quiet->setInterval(QuietGapMs);
    m_batch->setSingleShot(true);
    m_batch->setInterval(BatchMs);
    connect(m_quiet, &QTimer::timeout, this, [this] {
        endOpenRow();
        scheduleBatch();
    });
    connect(m_batch, &QTimer::timeout, this, &LineMonitorLog::flush);

    connect(&link, &LinkSession::arrived, this,
        [this](const QByteArray& bytes) { onBytes(Direction::Received, bytes); });
    connect(&link, &LinkSession::written, this,
        [this](const QByteArray& bytes) { onBytes(Direction::Sent, bytes); });
    connect(&link, &LinkSession::renewed, this, [this] { addMark(tr("Port closed and opened again")); });
    connect(&link, &LinkSession::noted, this, &LineMonitorLog::addMark);
    connect(&link, &LinkSession::deviceLost, this,
        [this](const QString& reason) { addMark(tr("Device lost: %1").arg(reason)); });
    connect(&link, &LinkSession::heldChanged, this, [this](bool held) {
        if (held) {
            m_heldSince = m_clock();
            addMark(tr("Held by the controller"));
        } else {
            const qint64 heldMs = m_heldSince.isValid() ? m_heldSince.msecsTo(m_clock()) : 0;
            m_heldSince = {};
            addMark(MonitorFormat::releaseText(heldMs));
        }
    });
}

LineMonitorLog::~LineMonitorLog() = default;

void LineMonitorLog::setClock(Clock clock)
{
    m_clock = std::move(clock);
}

void LineMonitorLog::setRecording(bool recording)
{
    m_recording = recording;
}

void LineMonitorLog::setLimitBytes(qint64 bytes)
{
    m_limit = bytes;
}

qint64 LineMonitorLog::weight(const Row& row)
{
    return qint64(sizeof(Row)) + row.bytes.size() + row.mark.size() * qint64(sizeof(QChar));
}

void LineMonitorLog::onBytes(Direction direction, const QByteArray& bytes)
{
    // Every line of one read came at the same moment.
    const QDateTime now = m_clock();
    qsizetype from = 0;
    while (from < bytes.size()) {
        const qsizetype end = MonitorFormat::rowEnd(bytes, from);
        if (!m_open || m_rows.back().direction != direction) {
            endOpenRow();
            m_rows.push_back(Row { now, direction, {}, {} });
            m_bytes += weight(m_rows.back());
            m_open = true;
        } else if (qsizetype(m_rows.size()) == m_shown) {
            m_lastShownGrew = true;
        }
        m_rows.back().bytes += bytes.mid(from, end - from);
        m_bytes += end - from;
        if (bytes.at(end - 1) == '\n')
            endOpenRow();
        from = end;
    }
    m_quiet->start();
    scheduleBatch();
}

void LineMonitorLog::addMark(const QString& mark)
{
    endOpenRow();
    m_rows.push_back(Row { m_clock(), Direction::Mark, {}, mark });
    m_bytes += weight(m_rows.back());
    scheduleBatch();
}

void LineMonitorLog::endOpenRow()
{
    m_open = false;
}

void LineMonitorLog::scheduleBatch()
{
    if (!m_batch->isActive())
        m_batch->start();
}

void LineMonitorLog::flush()
{
    m_batch->stop();
    record();
    if (m_lastShownGrew && m_shown > 0) {
        emit dataChanged(index(m_shown - 1, 0), index(m_shown - 1, ColumnCount - 1));
        m_lastShownGrew = false;
    }
    const int total = int(m_rows.size());
    if (total > m_shown) {
        beginInsertRows({}, m_shown, total - 1);
        m_shown = total;
        endInsertRows();
    }
    trim();
}

void LineMonitorLog::finish()
{
    endOpenRow();
    flush();
}

void LineMonitorLog::record()
{
    // The open row is recorded once it has ended.
    const qsizetype ended = qsizetype(m_rows.size()) - (m_open ? 1 : 0);
    QByteArray lines;
    for (; m_recorded < ended; ++m_recorded) {
        const Row& row = m_rows.at(size_t(m_recorded));
        if (row.direction == Direction::Mark && row.mark == QLatin1String("Connect")) {
            if (!lines.isEmpty())
                emit recorded(std::exchange(lines, {}));
            emit sessionStarted(row.time);
        }
        // Nobody records: the rows are not written out for nothing.
        if (m_recording)
            lines += MonitorFormat::savedLine(row);
    }
    if (!lines.isEmpty())
        emit recorded(lines);
}

void LineMonitorLog::trim()
{
    if (m_bytes <= m_limit)
        return;
    // A tenth at a time, so a long session is cut now and then, not at every batch.
    const qint64 target = m_limit - m_limit / 10;
    int count = 0;
    qint64 bytes = m_bytes;
    while (bytes > target && count < m_shown - 1 && count < m_recorded)
        bytes -= weight(m_rows.at(size_t(count++)));
    if (count == 0)
        return;
    beginRemoveRows({}, 0, count - 1);
    m_rows.erase(m_rows.begin(), m_rows.begin() + count);
    m_shown -= count;
    m_recorded -= count;
    m_bytes = bytes;
    m_dropped += count;
    endRemoveRows();
    emit trimmed();
}

int LineMonitorLog::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_shown;
}

int LineMonitorLog::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant LineMonitorLog::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_shown)
        return {};
    const Row& row = m_rows.at(size_t(index.row()));
    if (role == Qt::FontRole && row.direction == Direction::Mark) {
        QFont bold;
        bold.setBold(true);
        return bold;
    }
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case TimeColumn:
        return MonitorFormat::timeText(row.time);
    case DirectionColumn:
        return MonitorFormat::directionText(row.direction);
    case TextColumn:
        return MonitorFormat::rowText(row);
    case HexColumn:
        return MonitorFormat::hexText(row.bytes);
    default:
        return {};
    }
}

QVariant LineMonitorLog::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case TimeColumn:
        return tr("Time");
    case DirectionColumn:
        return tr("Direction");
    case TextColumn:
        return tr("Text");
    case HexColumn:
        return tr("Hex");
    default:
        return {};
    }
}

bool LineMonitorLog::save(QIODevice& device)
{
    if (device.write(MonitorFormat::headerLine()) < 0)
        return false;
    QByteArray lines;
    for (const Row& row : m_rows) {
        lines += MonitorFormat::savedLine(row);
        // In pieces: a long session is not held twice in memory.
        if (lines.size() >= 1024 * 1024 && device.write(std::exchange(lines, {})) < 0)
            return false;
    }
    return device.write(lines) >= 0;
}
