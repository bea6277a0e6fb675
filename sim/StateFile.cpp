#include "StateFile.h"

#include <QFile>
#include <QSaveFile>

namespace StateFile {

QByteArray toText(const ControllerState& state)
{
    QByteArray text = "# vestibar-sim state: parameters, records and events, one per line\n";
    text += "PARCMC " + state.masterCode() + '\n';
    for (const QByteArray& line : state.parameterLines())
        text += line + '\n';
    for (const SimFormat::RecordKind& kind : SimFormat::recordKinds())
        for (const ControllerState::Record& record : state.records(kind.code))
            text += record.line + '\n';
    for (const QByteArray& event : state.events())
        text += event + '\n';
    return text;
}

QStringList fromText(const QByteArray& text, ControllerState& state)
{
    QStringList skipped;
    const QList<QByteArray> lines = text.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QByteArray line = lines[i];
        // Only the line end goes: trailing blanks belong to some records.
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.trimmed().isEmpty() || line.trimmed().startsWith('#'))
            continue;
        if (SimFormat::isEventLine(line)) {
            state.addEvent(line);
            continue;
        }
        if (const SimFormat::RecordKind* kind = SimFormat::recordKindOf(line)) {
            if (const std::optional<qint64> key = SimFormat::recordKey(*kind, line)) {
                state.storeRecord(*kind, *key, line);
                continue;
            }
        } else if (const SimFormat::ParsedParameter parsed = SimFormat::parseParameter(line);
                   parsed.command) {
            state.setParameter(*parsed.command);
            continue;
        }
        skipped.append(QStringLiteral("line %1: %2").arg(i + 1).arg(QString::fromLatin1(line)));
    }
    return skipped;
}

bool save(const QString& path, const ControllerState& state, QString* error)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(toText(state));
        if (file.commit())
            return true;
    }
    if (error)
        *error = file.errorString();
    return false;
}

bool load(const QString& path, ControllerState& state, QString* error, QStringList* skipped)
{
    QFile file(path);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    const QStringList problems = fromText(file.readAll(), state);
    if (skipped)
        *skipped = problems;
    return true;
}

} // namespace StateFile
