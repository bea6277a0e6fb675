#include "ScriptedDialogs.h"

#include <QPrinter>

struct ScriptedDialogs::Step
{
    enum class Kind { Message, OpenFile, SaveFile, Print };
    Kind kind = Kind::Message;
    QString text;
    QString title;
    Answer answer = Answer::Ok;
    std::optional<Buttons> buttons;
    std::optional<Icon> icon;
    std::optional<Answer> defaultButton;
    std::optional<QString> path;
    int copies = 1;
    std::function<void()> whileShown;

    QString describe() const
    {
        switch (kind) {
        case Kind::Message:
            return QStringLiteral("message \"%1\" titled \"%2\"").arg(text, title);
        case Kind::OpenFile:
            return QStringLiteral("open dialog titled \"%1\"").arg(title);
        case Kind::SaveFile:
            return QStringLiteral("save dialog titled \"%1\"").arg(title);
        case Kind::Print:
            return QStringLiteral("print dialog");
        }
        return {};
    }
};

namespace {

// What an unexpected box is answered: the way out that does the least.
Dialogs::Answer retreat(Dialogs::Buttons buttons)
{
    switch (buttons) {
    case Dialogs::Buttons::Ok:
        return Dialogs::Answer::Ok;
    case Dialogs::Buttons::YesNo:
        return Dialogs::Answer::No;
    default:
        return Dialogs::Answer::Cancel;
    }
}

} // namespace

ScriptedDialogs::ScriptedDialogs() = default;

ScriptedDialogs::~ScriptedDialogs()
{
    qDeleteAll(m_steps);
}

void ScriptedDialogs::expectMessage(const QString& text, const QString& title, Answer answer,
    std::optional<Buttons> buttons, std::optional<Icon> icon, std::optional<Answer> defaultButton)
{
    auto* step = new Step;
    step->kind = Step::Kind::Message;
    step->text = text;
    step->title = title;
    step->answer = answer;
    step->buttons = buttons;
    step->icon = icon;
    step->defaultButton = defaultButton;
    m_steps.append(step);
}

void ScriptedDialogs::whileShown(std::function<void()> action)
{
    if (!m_steps.isEmpty())
        m_steps.constLast()->whileShown = std::move(action);
}

void ScriptedDialogs::expectOpenFile(std::optional<QString> path, const QString& title)
{
    auto* step = new Step;
    step->kind = Step::Kind::OpenFile;
    step->path = std::move(path);
    step->title = title;
    m_steps.append(step);
}

void ScriptedDialogs::expectSaveFile(std::optional<QString> path, const QString& title)
{
    auto* step = new Step;
    step->kind = Step::Kind::SaveFile;
    step->path = std::move(path);
    step->title = title;
    m_steps.append(step);
}

void ScriptedDialogs::expectPrint(std::optional<QString> pdfPath, int copies)
{
    auto* step = new Step;
    step->kind = Step::Kind::Print;
    step->path = std::move(pdfPath);
    step->copies = copies;
    m_steps.append(step);
}

bool ScriptedDialogs::done() const
{
    return m_failures.isEmpty() && m_steps.isEmpty();
}

QString ScriptedDialogs::report() const
{
    QStringList lines = m_failures;
    for (const Step* step : m_steps)
        lines << QStringLiteral("never shown: ") + step->describe();
    return lines.join(QLatin1Char('\n'));
}

int ScriptedDialogs::pending() const
{
    return int(m_steps.size());
}

const QList<Dialogs::Message>& ScriptedDialogs::messages() const
{
    return m_messages;
}

const QList<Dialogs::FileRequest>& ScriptedDialogs::fileRequests() const
{
    return m_fileRequests;
}

int ScriptedDialogs::beeps() const
{
    return m_beeps;
}

void ScriptedDialogs::reset()
{
    qDeleteAll(m_steps);
    m_steps.clear();
    m_messages.clear();
    m_fileRequests.clear();
    m_failures.clear();
    m_beeps = 0;
}

Dialogs::Answer ScriptedDialogs::showMessage(const Message& message)
{
    m_messages.append(message);
    const QString shown = QStringLiteral("message \"%1\" titled \"%2\"").arg(message.text, message.title);
    if (m_steps.isEmpty() || m_steps.constFirst()->kind != Step::Kind::Message) {
        m_failures << QStringLiteral("unexpected ") + shown
                + (m_steps.isEmpty() ? QString()
                                     : QStringLiteral(" (expected ") + m_steps.constFirst()->describe()
                            + QLatin1Char(')'));
        return retreat(message.buttons);
    }
    const Step* step = m_steps.constFirst();
    QStringList wrong;
    if (step->text != message.text)
        wrong << QStringLiteral("text");
    if (step->title != message.title)
        wrong << QStringLiteral("title");
    if (step->buttons && *step->buttons != message.buttons)
        wrong << QStringLiteral("buttons");
    if (step->icon && *step->icon != message.icon)
        wrong << QStringLiteral("icon");
    if (step->defaultButton && step->defaultButton != message.defaultButton)
        wrong << QStringLiteral("default button");
    if (!wrong.isEmpty()) {
        m_failures << QStringLiteral("%1 differs in %2 from the expected %3")
                          .arg(shown, wrong.join(QLatin1String(", ")), step->describe());
        return retreat(message.buttons);
    }
    const Answer answer = step->answer;
    const std::function<void()> action = step->whileShown;
    delete m_steps.takeFirst();
    if (action)
        action();
    return answer;
}

std::optional<QString> ScriptedDialogs::openFile(const FileRequest& request)
{
    return answerFileDialog(false, request);
}

std::optional<QString> ScriptedDialogs::saveFile(const FileRequest& request)
{
    return answerFileDialog(true, request);
}

std::optional<QString> ScriptedDialogs::answerFileDialog(bool save, const FileRequest& request)
{
    m_fileRequests.append(request);
    const auto kind = save ? Step::Kind::SaveFile : Step::Kind::OpenFile;
    const QString shown = QStringLiteral("%1 dialog titled \"%2\"")
                              .arg(save ? QStringLiteral("save") : QStringLiteral("open"), request.title);
    const Step* next = m_steps.isEmpty() ? nullptr : m_steps.constFirst();
    if (!next || next->kind != kind || (!next->title.isEmpty() && next->title != request.title)) {
        m_failures << QStringLiteral("unexpected ") + shown
                + (next ? QStringLiteral(" (expected ") + next->describe() + QLatin1Char(')') : QString());
        return std::nullopt;
    }
    Step* step = m_steps.takeFirst();
    const std::optional<QString> path = step->path;
    const std::function<void()> action = step->whileShown;
    delete step;
    if (action)
        action();
    return path;
}

std::optional<Dialogs::PrintRequest> ScriptedDialogs::print()
{
    if (m_steps.isEmpty() || m_steps.constFirst()->kind != Step::Kind::Print) {
        m_failures << QStringLiteral("unexpected print dialog")
                + (m_steps.isEmpty() ? QString()
                                     : QStringLiteral(" (expected ") + m_steps.constFirst()->describe()
                            + QLatin1Char(')'));
        return std::nullopt;
    }
    Step* step = m_steps.takeFirst();
    const std::optional<QString> path = step->path;
    const int copies = step->copies;
    delete step;
    if (!path)
        return std::nullopt;
    m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    m_printer->setOutputFormat(QPrinter::PdfFormat);
    m_printer->setOutputFileName(*path);
    return PrintRequest { m_printer.get(), copies };
}

void ScriptedDialogs::beep()
{
    ++m_beeps;
}
