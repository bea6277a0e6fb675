#include "ScriptedDialogs.h"

#include <QPrinter>

struct ScriptedDialogs::Step
{
    enum class Kind { Message, OpenFile, SaveFile, Folder, Print };
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
        static const char* const names[] = { "message", "open dialog", "save dialog", "folder dialog" };
        if (kind == Kind::Print)
            return QStringLiteral("print dialog");
        if (kind == Kind::Message)
            return QStringLiteral("message \"%1\" titled \"%2\"").arg(text, title);
        return QStringLiteral("%1 titled \"%2\"").arg(QLatin1String(names[int(kind)]), title);
    }
};

ScriptedDialogs::ScriptedDialogs() = default;

ScriptedDialogs::~ScriptedDialogs()
{
    qDeleteAll(m_steps);
}

ScriptedDialogs::Step& ScriptedDialogs::add(int kind, const QString& title, std::optional<QString> path)
{
    m_steps.append(new Step);
    Step& step = *m_steps.constLast();
    step.kind = Step::Kind(kind);
    step.title = title;
    step.path = std::move(path);
    return step;
}

void ScriptedDialogs::expectMessage(const QString& text, const QString& title, Answer answer,
    std::optional<Buttons> buttons, std::optional<Icon> icon, std::optional<Answer> defaultButton)
{
    Step& step = add(int(Step::Kind::Message), title);
    step.text = text;
    step.answer = answer;
    step.buttons = buttons;
    step.icon = icon;
    step.defaultButton = defaultButton;
}

void ScriptedDialogs::whileShown(std::function<void()> action)
{
    if (!m_steps.isEmpty())
        m_steps.constLast()->whileShown = std::move(action);
}

void ScriptedDialogs::expectOpenFile(std::optional<QString> path, const QString& title)
{
    add(int(Step::Kind::OpenFile), title, std::move(path));
}

void ScriptedDialogs::expectSaveFile(std::optional<QString> path, const QString& title)
{
    add(int(Step::Kind::SaveFile), title, std::move(path));
}

void ScriptedDialogs::expectFolder(std::optional<QString> path, const QString& title)
{
    add(int(Step::Kind::Folder), title, std::move(path));
}

void ScriptedDialogs::expectPrint(std::optional<QString> pdfPath, int copies)
{
    add(int(Step::Kind::Print), {}, std::move(pdfPath)).copies = copies;
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

// The next step when it is a dialog of this kind and every difference is empty;
// otherwise the failure is recorded and nothing is taken.
std::unique_ptr<ScriptedDialogs::Step> ScriptedDialogs::take(
    int kind, const QString& shown, QStringList wrong)
{
    const Step* next = m_steps.isEmpty() ? nullptr : m_steps.constFirst();
    if (!next || int(next->kind) != kind) {
        m_failures << QStringLiteral("unexpected ") + shown
                + (next ? QStringLiteral(" (expected ") + next->describe() + QLatin1Char(')') : QString());
        return nullptr;
    }
    if (!wrong.isEmpty()) {
        m_failures << QStringLiteral("%1 differs in %2 from the expected %3")
                          .arg(shown, wrong.join(QLatin1String(", ")), next->describe());
        return nullptr;
    }
    std::unique_ptr<Step> step(m_steps.takeFirst());
    if (step->whileShown)
        step->whileShown();
    return step;
}

Dialogs::Answer ScriptedDialogs::showMessage(const Message& message)
{
    m_messages.append(message);
    QStringList wrong;
    if (const Step* next = m_steps.isEmpty() ? nullptr : m_steps.constFirst()) {
        const std::pair<bool, const char*> checks[] = {
            { next->text != message.text, "text" },
            { next->title != message.title, "title" },
            { next->buttons && *next->buttons != message.buttons, "buttons" },
            { next->icon && *next->icon != message.icon, "icon" },
            { next->defaultButton && next->defaultButton != message.defaultButton, "default button" },
        };
        for (const auto& [differs, what] : checks)
            if (differs)
                wrong << QLatin1String(what);
    }
    const auto step = take(int(Step::Kind::Message),
        QStringLiteral("message \"%1\" titled \"%2\"").arg(message.text, message.title), wrong);
    if (step)
        return step->answer;
    // An unexpected box is answered with the way out that does the least.
    if (message.buttons == Buttons::Ok)
        return Answer::Ok;
    return message.buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
}

QStringList ScriptedDialogs::wrongTitle(const QString& title) const
{
    const Step* next = m_steps.isEmpty() ? nullptr : m_steps.constFirst();
    if (next && !next->title.isEmpty() && next->title != title)
        return { QStringLiteral("title") };
    return {};
}

std::optional<QString> ScriptedDialogs::answerFileDialog(bool save, const FileRequest& request)
{
    m_fileRequests.append(request);
    const auto step = take(int(save ? Step::Kind::SaveFile : Step::Kind::OpenFile),
        QStringLiteral("%1 dialog titled \"%2\"").arg(save ? "save" : "open", request.title),
        wrongTitle(request.title));
    return step ? step->path : std::nullopt;
}

std::optional<QString> ScriptedDialogs::chooseFolder(const QString& title, const QString& start)
{
    const auto step = take(int(Step::Kind::Folder),
        QStringLiteral("folder dialog titled \"%1\" in %2").arg(title, start), wrongTitle(title));
    return step ? step->path : std::nullopt;
}

std::optional<Dialogs::PrintRequest> ScriptedDialogs::print()
{
    const auto step = take(int(Step::Kind::Print), QStringLiteral("print dialog"), {});
    if (!step || !step->path)
        return std::nullopt;
    m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    m_printer->setOutputFormat(QPrinter::PdfFormat);
    m_printer->setOutputFileName(*step->path);
    return PrintRequest { m_printer.get(), step->copies };
}
