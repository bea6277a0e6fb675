#include "ParameterCommands.h"

#include "BusyPointer.h"
#include "CommandLine.h"
#include "CommandSender.h"
#include "Dialogs.h"
#include "EnterKey.h"
#include "LineText.h"
#include "LinkSession.h"
#include "PlainEdit.h"
#include "form1.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpression>

#include <array>

namespace {

using Kind = ParameterCommand::Kind;
using Effect = ParameterCommand::Effect;

using FormControls::box;
using FormControls::widget;
using F = Ui::form1;

// "Disconnnect" (three n) is the title Enter in medit3 gives its closed-port box:
// the tool's own text, kept as it is.
const std::array<ParameterCommand, 20> commands { {
    // The twenty commands in panel order. Value commands move the focus down the panel.
    { Kind::Value, "PARFCN", &F::FCN, box<&F::Crno>, "Please input the Facility Code of the CardReader",
        widget<&F::medit1> },
    { Kind::Value, "PARCHT", &F::uptalktime, box<&F::medit1>, "Please input Call Hold Time",
        widget<&F::medit2> },
    { Kind::Value, "PARDOT1", &F::opentime1, box<&F::medit2>, "Please input Door 1 Open Time",
        widget<&F::medit3> },
    { Kind::Value, "PARDOT2", &F::opentime2, box<&F::medit3>, "Please input Door 2 Open Time",
        widget<&F::medit4>, Effect::None, "Disconnnect" },
    { Kind::Value, "PARCLT", &F::lockcount, box<&F::medit4>, "Please input Lock Out Count",
        widget<&F::medit5> },
    { Kind::Value, "PARSYD", &F::systemid, box<&F::medit5>, "Please input System ID", widget<&F::MEDIT7> },
    { Kind::Value, "PAROHR1", &F::manualdoor1, box<&F::MEDIT7>, "Please input Door 1 Unlock Hour",
        widget<&F::medit8> },
    { Kind::Value, "PAROHR2", &F::manualdoor2, box<&F::medit8>, "Please input Door 2 Unlock Hour",
        widget<&F::rl2> },
    { Kind::Value, "PARLMO", &F::rlm, box<&F::rl2>, "Please input Relay2 Mode", widget<&F::medit6> },
    { Kind::Value, "PARNUM", &F::ARN, box<&F::medit6>, "Please input PBX No",
        widget<&F::Medit_New_mastercode> },
    // The new master code keeps the focus in its own box.
    { Kind::Value, "PARCMC", &F::Newmastcode, box<&F::Medit_New_mastercode>, "Please input New MasterCode",
        widget<&F::Medit_New_mastercode>, Effect::None, "Disconnect", true },
    { Kind::Message, "PARMSG", &F::message, box<&F::MsgWel> },
    // Fixed commands.
    { Kind::Fixed, "PARPBXON", &F::PBX, nullptr, nullptr, nullptr, Effect::EnableArnFirst },
    { Kind::Fixed, "PARPBXOFF", &F::nonpbx, box<&F::MEDIT7>, nullptr, nullptr, Effect::DisableArn },
    { Kind::Fixed, "PARPDL", &F::Pluse },
    { Kind::Fixed, "PARTDL", &F::tone },
    { Kind::Fixed, "PARCONM", &F::Multi, nullptr, nullptr, nullptr, Effect::EnableSystemId },
    { Kind::Fixed, "PARCONS", &F::singleg, nullptr, nullptr, nullptr, Effect::DisableSystemId },
    { Kind::Fixed, "PAROWRON", &F::OWR },
    { Kind::Fixed, "PAROWROFF", &F::nowr },
} };

} // namespace

ParameterCommands::ParameterCommands(form1& window)
    : QObject(&window)
    , m_window(window)
{
    Ui::form1& ui = m_window.ui();
    for (const ParameterCommand& command : commands) {
        connect(
            ui.*command.button, &QAbstractButton::clicked, this, [this, &command] { button_Click(command); });
        if (command.kind == Kind::Value)
            command.box(ui)->installEventFilter(this);
    }
    // The masked boxes keep their caret and refuse what the line cannot carry
    // themselves; these two are plain text boxes.
    for (QLineEdit* box : { m_window.ui().Medit_New_mastercode, m_window.ui().MsgWel }) {
        PlainEdit::install(box);
        LineText::install(box);
    }
}

bool ParameterCommands::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && isEnterKey(static_cast<QKeyEvent*>(event))) {
        for (const ParameterCommand& command : commands) {
            if (command.kind == Kind::Value && watched == command.box(m_window.ui())) {
                box_KeyPress(command);
                break;
            }
        }
    }
    // Enter still reaches the box.
    return false;
}

void ParameterCommands::button_Click(const ParameterCommand& command)
{
    // The value is the box's at the click: typing meanwhile changes only later commands.
    const QString value = valueOf(command);
    Commands::enqueue(m_window, [this, &command, value] { return buttonCommand(command, value); });
}

void ParameterCommands::box_KeyPress(const ParameterCommand& command)
{
    const QString value = valueOf(command);
    Commands::enqueue(m_window, [this, &command, value] { return enterCommand(command, value); });
}

QCoro::Task<> ParameterCommands::buttonCommand(const ParameterCommand& command, QString value)
{
    switch (command.kind) {
    case Kind::Message:
        co_await messageCommand(value);
        co_return;
    case Kind::Value:
        if (value.isEmpty()) {
            m_window.dialogs().inform(QString::fromLatin1(command.prompt));
            command.box(m_window.ui())->setFocus();
            co_return;
        }
        if (!acceptsValue(command, value)) {
            command.box(m_window.ui())->setFocus();
            co_return;
        }
        break;
    case Kind::Fixed:
        break;
    }
    const bool sent = co_await send(command, value, QStringLiteral("Disconnect"));
    if (sent)
        focusOn(command.next);
}

QCoro::Task<> ParameterCommands::enterCommand(const ParameterCommand& command, QString value)
{
    // No value guard here: an empty box sends the keyword and the blank alone.
    if (!acceptsValue(command, value))
        co_return;
    const bool sent = co_await send(command, value, QString::fromLatin1(command.enterGuardTitle));
    if (sent)
        focusOn(command.next);
}

bool ParameterCommands::acceptsValue(const ParameterCommand& command, const QString& value)
{
    // The controller's master-code entry takes four digits: a shorter new code, or
    // one with other characters, would lock the installer out.
    if (!command.fourDigits)
        return true;
    static const QRegularExpression fourDigits(QStringLiteral("^[0-9]{4}$"));
    if (fourDigits.match(value).hasMatch())
        return true;
    m_window.dialogs().inform(QStringLiteral("The new master code must be 4 digits"));
    return false;
}

QCoro::Task<> ParameterCommands::messageCommand(QString text)
{
    if (text.isEmpty() || !m_window.MSComm1().portOpen()) {
        // "Wellcome" is the tool's own spelling of this title, kept as it is.
        m_window.dialogs().inform(QStringLiteral("Please Input the text in 'Welcome Message' box"),
            QStringLiteral("Wellcome Message"));
        co_return;
    }
    const BusyPointer busy(m_window);
    co_await Commands::SendCommandLine(m_window, CommandLine::withValue(QStringLiteral("PARMSG"), text));
}

QCoro::Task<bool> ParameterCommands::send(const ParameterCommand& command, QString value, QString guardTitle)
{
    const QString keyword = QString::fromLatin1(command.keyword);
    const QByteArray line
        = command.box ? CommandLine::withValue(keyword, value) : CommandLine::fixed(keyword);
    Ui::form1& ui = m_window.ui();

    Commands::SendOptions options;
    options.guardTitle = guardTitle;
    if (command.effect == Effect::EnableArnFirst)
        options.afterGuard = [&ui] { ui.ARN->setEnabled(true); };
    const bool sent = co_await Commands::SendCommandLine(m_window, line, options);
    if (!sent)
        co_return false;

    switch (command.effect) {
    case Effect::None:
    case Effect::EnableArnFirst:
        break;
    case Effect::DisableArn:
        ui.ARN->setEnabled(false);
        break;
    case Effect::EnableSystemId:
        ui.systemid->setEnabled(true);
        ui.medit5->setEnabled(true);
        break;
    case Effect::DisableSystemId:
        ui.systemid->setEnabled(false);
        break;
    }
    co_return true;
}

QString ParameterCommands::valueOf(const ParameterCommand& command) const
{
    return command.box ? FormControls::valueOf(command.box(m_window.ui())) : QString();
}

void ParameterCommands::focusOn(FormControls::Widget control)
{
    if (control)
        control(m_window.ui())->setFocus();
}
