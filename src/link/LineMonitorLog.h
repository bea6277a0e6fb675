#pragma once

#include "MonitorFormat.h"

#include <QAbstractTableModel>
#include <QDateTime>

#include <deque>
#include <functional>

class LinkSession;
class QIODevice;
class QTimer;

// Every byte of the line in both directions, as rows, with the link's marks
// between them: kept for the main window's whole life, within a memory bound. The rows
// reach the view and the session record in batches, so a flood costs the window
// one update per batch, never one per byte.
class LineMonitorLog : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { TimeColumn, DirectionColumn, TextColumn, HexColumn, ColumnCount };
    using Clock = std::function<QDateTime()>;

    // Enough for hours of a dump at the line's speed; past it the oldest rows go.
    static constexpr qint64 DefaultLimitBytes = 64 * 1024 * 1024;
    // A row that has seen no byte for this long ends.
    static constexpr int QuietGapMs = 300;
    // How often new rows reach the view and the record.
    static constexpr int BatchMs = 100;

    explicit LineMonitorLog(LinkSession& link, QObject* parent = nullptr);
    ~LineMonitorLog() override;

    // Where the rows' times come from (the current time by default).
    void setClock(Clock clock);
    void setLimitBytes(qint64 bytes);
    // Whether recorded() is wanted (the session record is on).
    void setRecording(bool recording);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Rows dropped from the start to stay within the bound.
    qint64 droppedRows() const { return m_dropped; }
    // Hands what has come so far to the view and the record now.
    void flush();
    // The window is going: the last row ends and goes to the record.
    void finish();
    // Writes every row kept, as text; false when the device would not take it.
    bool save(QIODevice& device);

signals:
    // Rows that have ended, as lines of a record; a Connect comes first as
    // sessionStarted(), so its record begins with it.
    void recorded(const QByteArray& lines);
    void sessionStarted(const QDateTime& at);
    void trimmed();

private:
    void onBytes(MonitorFormat::Direction direction, const QByteArray& bytes);
    void addMark(const QString& mark);
    void endOpenRow();
    void scheduleBatch();
    void record();
    void trim();
    static qint64 weight(const MonitorFormat::Row& row);

    LinkSession& m_link;
    Clock m_clock;
    std::deque<MonitorFormat::Row> m_rows;
    bool m_open = false; // the last row may still grow
    int m_shown = 0; // rows the view knows of
    bool m_lastShownGrew = false;
    qsizetype m_recorded = 0; // rows handed to the record
    qint64 m_bytes = 0;
    qint64 m_limit = DefaultLimitBytes;
    qint64 m_dropped = 0;
    bool m_recording = false;
    QDateTime m_heldSince;
    QTimer* m_quiet;
    QTimer* m_batch;
};
