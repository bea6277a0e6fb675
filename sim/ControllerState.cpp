#include "ControllerState.h"

#include <algorithm>

bool ControllerState::storeRecord(const SimFormat::RecordKind& kind, qint64 key, const QByteArray& line)
{
    QList<Record>& list = m_records[kind.code];
    for (Record& record : list) {
        if (record.key == key) {
            record.line = line;
            return true;
        }
    }
    list.append({ key, line });
    return false;
}

bool ControllerState::removeRecord(const QByteArray& kindCode, qint64 key)
{
    QList<Record>& list = m_records[kindCode];
    return list.removeIf([key](const Record& record) { return record.key == key; }) > 0;
}

qsizetype ControllerState::clearRecords(const QByteArray& kindCode)
{
    QList<Record>& list = m_records[kindCode];
    const qsizetype count = list.size();
    list.clear();
    return count;
}

QList<ControllerState::Record> ControllerState::records(const QByteArray& kindCode) const
{
    const auto found = m_records.find(kindCode);
    return found == m_records.end() ? QList<Record>() : found->second;
}

void ControllerState::setParameter(const SimFormat::ParameterCommand& command)
{
    if (command.parameter->rule == SimFormat::ValueRule::MasterCode) {
        m_masterCode = command.value;
        return;
    }
    m_parameters[command.parameter->group] = command.line();
}

QList<QByteArray> ControllerState::parameterLines() const
{
    QList<QByteArray> lines;
    for (const SimFormat::Parameter& parameter : SimFormat::parameters()) {
        const auto found = m_parameters.find(parameter.group);
        if (found == m_parameters.end() || lines.contains(found->second))
            continue;
        lines.append(found->second);
    }
    return lines;
}

void ControllerState::addEvent(const QByteArray& line)
{
    m_events.append(line);
    if (m_events.size() > maxEvents)
        m_events.remove(0, m_events.size() - maxEvents);
}

qsizetype ControllerState::clearEvents()
{
    const qsizetype count = m_events.size();
    m_events.clear();
    return count;
}
