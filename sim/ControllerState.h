#pragma once

#include "SimFormat.h"

#include <QByteArray>
#include <QList>

#include <map>

// What the simulated controller remembers: its master code, its parameters, the
// records of the five databases and its event records.
class ControllerState
{
public:
    static constexpr qsizetype maxEvents = 100;

    struct Record
    {
        qint64 key;
        QByteArray line;
    };

    QByteArray masterCode() const { return m_masterCode; }
    void setMasterCode(const QByteArray& code) { m_masterCode = code; }

    // Stores a record line; a record with the same number is replaced in place, so
    // a dump lists records in the order they were first sent. True when replaced.
    bool storeRecord(const SimFormat::RecordKind& kind, qint64 key, const QByteArray& line);
    bool removeRecord(const QByteArray& kindCode, qint64 key);
    qsizetype clearRecords(const QByteArray& kindCode);
    QList<Record> records(const QByteArray& kindCode) const;

    // A parameter command; one of an on/off pair replaces the other. PARCMC sets the
    // master code instead of being kept as a line.
    void setParameter(const SimFormat::ParameterCommand& command);
    // The stored parameter lines in the order of the parameter table.
    QList<QByteArray> parameterLines() const;

    // Oldest first; the oldest are dropped beyond maxEvents.
    void addEvent(const QByteArray& line);
    QList<QByteArray> events() const { return m_events; }
    qsizetype clearEvents();

private:
    QByteArray m_masterCode = "1234";
    std::map<QByteArray, QList<Record>> m_records;
    std::map<QByteArray, QByteArray> m_parameters; // group -> line
    QList<QByteArray> m_events;
};
