#include "ControllerSim.h"

namespace {

QByteArray reply(QByteArrayView text)
{
    return "SIM: " + text.toByteArray() + "\r\n";
}

QByteArray lineOut(const QByteArray& line)
{
    return line + "\r\n";
}

const QByteArray helpText = reply("SIMULATED CONTROLLER, COMMANDS:") + reply("  COM                 GREETING")
    + reply("  PGMnnnn             PROGRAMMING MODE WITH MASTER CODE nnnn")
    + reply("  PAR...              PARAMETERS, E.G. PARCHT 30, PARPDL, PARCMC nnnn")
    + reply("  TNT/ACD/ATS/HLD/TMZ RECORD LINES, SAME NUMBER REPLACES")
    + reply("  KLR ACD n, CLR TNT n CLEAR ONE ENTRY, 0 CLEARS ALL")
    + reply("  KLR ATS/HLD/TMZ/EVR CLEAR A WHOLE DATABASE") + reply("  TIM hh mm, DAT mm dd yyyy w")
    + reply("  PRITNT PRIACD PRIATS PRIHLD PRITMZ PRIEVR PRIPAR PRIALL DUMPS")
    + reply("  END                 END PROGRAMMING, DIS CLOSE THE LINK");

QByteArray keywordOf(const QByteArray& trimmed)
{
    const qsizetype blank = trimmed.indexOf(' ');
    return blank < 0 ? trimmed : trimmed.first(blank);
}

} // namespace

ControllerSim::ControllerSim(Clock clock)
    : m_clock(clock ? std::move(clock) : Clock([] { return QDateTime::currentDateTime(); }))
{
}

QDateTime ControllerSim::now() const
{
    return m_clock().addSecs(m_offsetSeconds);
}

QByteArray ControllerSim::greeting() const
{
    return reply("VESTIBAR CONTROLLER SIMULATOR READY, " + now().toString("MM/dd/yyyy HH:mm").toLatin1());
}

QByteArray ControllerSim::feed(const QByteArray& bytes)
{
    QByteArray out;
    for (const QByteArray& line : m_splitter.feed(bytes))
        out += answer(line);
    return out;
}

QByteArray ControllerSim::answer(const QByteArray& line)
{
    if (line == LineSplitter::overlongMarker())
        return reply("LINE TOO LONG, IGNORED");
    const QByteArray trimmed = line.trimmed();
    if (trimmed.isEmpty())
        return {};
    const QByteArray keyword = keywordOf(trimmed);

    // What the controller answers at any time.
    if (keyword == "COM")
        return greeting();
    if (trimmed.startsWith("PGM"))
        return enterProgramming(trimmed.sliced(3).trimmed());
    if (keyword == "HLP")
        return helpText;
    if (keyword == "DIS")
        return disconnect();

    if (!m_programming)
        return reply("NOT IN PROGRAMMING MODE, SEND PGM AND THE MASTER CODE FIRST");

    if (const SimFormat::RecordKind* kind = SimFormat::recordKindOf(line))
        return storeRecord(*kind, line);
    if (keyword.startsWith("PAR"))
        return setParameter(line);
    if (SimFormat::isClearCommand(trimmed))
        return clear(trimmed);
    if (keyword == "TIM")
        return setTime(trimmed);
    if (keyword == "DAT")
        return setDate(trimmed);
    if (keyword == "END")
        return endProgramming();
    if (keyword.startsWith("PRI"))
        return dump(keyword);
    return reply("UNKNOWN COMMAND " + keyword);
}

QByteArray ControllerSim::enterProgramming(const QByteArray& code)
{
    if (code != m_state.masterCode()) {
        logEvent("WRONG MASTER CODE");
        return reply("WRONG MASTER CODE, ACCESS REFUSED");
    }
    m_programming = true;
    logEvent("PROGRAMMING MODE ON");
    return reply("PROGRAMMING MODE ON");
}

QByteArray ControllerSim::storeRecord(const SimFormat::RecordKind& kind, const QByteArray& line)
{
    const std::optional<qint64> key = SimFormat::recordKey(kind, line);
    if (!key)
        return reply(QByteArray(kind.code) + " LINE REFUSED, NO " + kind.name + " NUMBER");
    const bool replaced = m_state.storeRecord(kind, *key, line);
    m_changed = true;
    return reply(
        QByteArray(kind.name) + ' ' + QByteArray::number(*key) + (replaced ? " REPLACED" : " STORED"));
}

QByteArray ControllerSim::setParameter(const QByteArray& line)
{
    const SimFormat::ParsedParameter parsed = SimFormat::parseParameter(line);
    const QByteArray keyword = keywordOf(line.trimmed());
    if (!parsed.command) {
        if (parsed.error == SimFormat::ParameterError::BadValue)
            return reply(keyword + " REFUSED, BAD OR MISSING VALUE");
        return reply("UNKNOWN COMMAND " + keyword);
    }
    m_state.setParameter(*parsed.command);
    m_changed = true;
    if (parsed.command->parameter->rule == SimFormat::ValueRule::MasterCode)
        return reply("NEW MASTER CODE SET");
    return reply(parsed.command->line() + " OK");
}

QByteArray ControllerSim::clear(const QByteArray& line)
{
    const std::optional<SimFormat::ClearCommand> command = SimFormat::parseClear(line);
    if (!command)
        return reply("CLEAR NOT UNDERSTOOD");
    const bool singleEntryKind = command->kind == "TNT" || command->kind == "ACD";
    // These two clear one entry; a missing number must not empty the whole database.
    if (singleEntryKind && !command->hasNumber)
        return reply(command->kind + " CLEAR NEEDS A NUMBER, 0 CLEARS ALL");
    const bool events = command->kind == "EVR";
    if (command->clearsAll()) {
        const qsizetype count = events ? m_state.clearEvents() : m_state.clearRecords(command->kind);
        m_changed = true;
        return reply(command->kind + " CLEARED, " + QByteArray::number(count) + " DELETED");
    }
    if (events)
        return reply("EVR CAN ONLY BE CLEARED AS A WHOLE");
    if (!m_state.removeRecord(command->kind, command->key))
        return reply(command->kind + ' ' + command->keyText + " NOT FOUND");
    m_changed = true;
    return reply(command->kind + ' ' + command->keyText + " DELETED");
}

QByteArray ControllerSim::setTime(const QByteArray& line)
{
    const std::optional<QTime> time = SimFormat::parseTime(line);
    if (!time)
        return reply("TIME REFUSED, USE TIM hh mm");
    const QDateTime target(now().date(), *time);
    m_offsetSeconds = m_clock().secsTo(target);
    return reply("TIME SET TO " + time->toString("HH:mm").toLatin1());
}

QByteArray ControllerSim::setDate(const QByteArray& line)
{
    const std::optional<QDate> date = SimFormat::parseDate(line);
    if (!date)
        return reply("DATE REFUSED, USE DAT mm dd yyyy w WITH 1 = MONDAY");
    const QDateTime target(*date, now().time());
    m_offsetSeconds = m_clock().secsTo(target);
    return reply("DATE SET TO " + date->toString("MM/dd/yyyy").toLatin1());
}

QByteArray ControllerSim::dump(const QByteArray& command) const
{
    const QByteArray what = command.sliced(3);
    if (const SimFormat::RecordKind* kind = SimFormat::findRecordKind(what))
        return dumpRecords(*kind);
    if (what == "EVR")
        return dumpEvents();
    if (what == "PAR")
        return dumpParameters();
    if (what == "ALL") {
        QByteArray out = dumpParameters();
        for (const SimFormat::RecordKind& kind : SimFormat::recordKinds())
            out += dumpRecords(kind);
        return out + dumpEvents() + reply("END OF ALL");
    }
    return reply("UNKNOWN COMMAND " + command);
}

QByteArray ControllerSim::dumpRecords(const SimFormat::RecordKind& kind) const
{
    QByteArray out;
    const QList<ControllerState::Record> records = m_state.records(kind.code);
    for (const ControllerState::Record& record : records)
        out += lineOut(record.line);
    return out
        + reply("END OF " + QByteArray(kind.code) + ", RECORDS: " + QByteArray::number(records.size()));
}

QByteArray ControllerSim::dumpEvents() const
{
    QByteArray out;
    const QList<QByteArray> events = m_state.events();
    for (const QByteArray& event : events)
        out += lineOut(event);
    return out + reply("END OF EVR, RECORDS: " + QByteArray::number(events.size()));
}

QByteArray ControllerSim::dumpParameters() const
{
    QByteArray out;
    const QList<QByteArray> lines = m_state.parameterLines();
    for (const QByteArray& line : lines)
        out += lineOut(line);
    return out + reply("END OF PAR, LINES: " + QByteArray::number(lines.size()));
}

QByteArray ControllerSim::endProgramming()
{
    m_programming = false;
    logEvent("PROGRAMMING MODE OFF");
    return reply("PROGRAMMING MODE OFF");
}

QByteArray ControllerSim::disconnect()
{
    if (m_programming)
        logEvent("PROGRAMMING MODE OFF");
    m_programming = false;
    m_disconnected = true;
    return reply("LINK CLOSED, GOODBYE");
}

void ControllerSim::dropLink()
{
    m_programming = false;
    m_splitter.reset();
}

bool ControllerSim::takeDisconnect()
{
    return std::exchange(m_disconnected, false);
}

bool ControllerSim::takeChanged()
{
    return std::exchange(m_changed, false);
}

void ControllerSim::logEvent(QByteArrayView what)
{
    m_state.addEvent(SimFormat::eventLine(now(), what));
    m_changed = true;
}
