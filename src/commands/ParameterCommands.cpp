#include "ParameterCommands.h"

#include "BusyPointer.h"
#include "CommandLine.h"
#include "CommandSender.h"
#include "Dialogs.h"
#include "LineText.h"
#include "LinkSession.h"
#include "MaskedEdit.h"
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

const std::array<ParameterCommand, 20> commands { {
    // The twenty commands in panel order. Value commands move the focus down the panel.
    { Kind::Value, "PARFCN", "FCN", "Crno", "Please input the Facility Code of the CardReader", "medit1" },
    { Kind::Value, "PARCHT", "uptalktime", "medit1", "Please input Call Hold Time", "medit2" },
    { Kind::Value, "PARDOT1", "opentime1", "medit2", "Please input Door 1 Open Time", "medit3" },
    { Kind::Value, "PARDOT2", "opentime2", "medit3", "Please input Door 2 Open Time", "medit4", Effect::None,
        "Disconnnect" },
    { Kind::Value, "PARCLT", "lockcount", "medit4", "Please input Lock Out Count", "medit5" },
    { Kind::Value, "PARSYD", "systemid", "medit5", "Please input System ID", "MEDIT7" },
    { Kind::Value, "PAROHR1", "manualdoor1", "MEDIT7", "Please input Door 1 Unlock Hour", "medit8" },
    { Kind::Value, "PAROHR2", "manualdoor2", "medit8", "Please input Door 2 Unlock Hour", "rl2" },
    { Kind::Value, "PARLMO", "rlm", "rl2", "Please input Relay2 Mode", "medit6" },
    { Kind::Value, "PARNUM", "ARN", "medit6", "Please input PBX No", "Medit_New_mastercode" },
    // The new master code keeps the focus in its own box.
    { Kind::Value, "PARCMC", "Newmastcode", "Medit_New_mastercode", "Please input New MasterCode",
        "Medit_New_mastercode", Effect::None, "Disconnect", true },
    { Kind::Message, "PARMSG", "message", "MsgWel" },
    // Fixed commands.
    { Kind::Fixed, "PARPBXON", "PBX", nullptr, nullptr, nullptr, Effect::EnableArnFirst },
    { Kind::Fixed, "PARPBXOFF", "nonpbx", "MEDIT7", nullptr, nullptr, Effect::DisableArn },
    { Kind::Fixed, "PARPDL", "Pluse" },
    { Kind::Fixed, "PARTDL", "tone" },
    { Kind::Fixed, "PARCONM", "Multi", nullptr, nullptr, nullptr, Effect::EnableSystemId },
    { Kind::Fixed, "PARCONS", "singleg", nullptr, nullptr, nullptr, Effect::DisableSystemId },
    { Kind::Fixed, "PAROWRON", "OWR" },
    { Kind::Fixed, "PAROWROFF", "nowr" },
} };

bool isEnter(const QKeyEvent* key)
{
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

} // namespace

ParameterCommands::ParameterCommands(form1& window)
    : QObject(&window)
    , m_window(window)
{
    for (const ParameterCommand& command : commands) {
        if (auto* button = m_window.findChild<QAbstractButton*>(QLatin1String(command.button)))
            connect(button, &QAbstractButton::clicked, this, [this, &command] { button_Click(command); });
        else
            qWarning("Parameter command button %s is missing", command.button);
        if (command.kind == Kind::Value) {
            if (auto* box = m_window.findChild<QLineEdit*>(QLatin1String(command.box)))
                box->installEventFilter(this);
        }
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
    if (event->type() == QEvent::KeyPress && isEnter(static_cast<QKeyEvent*>(event))) {
        for (const ParameterCommand& command : commands) {
            if (command.kind == Kind::Value && watched->objectName() == QLatin1String(command.box)) {
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
    const QString value = command.box ? valueOf(command.box) : QString();
    Commands::enqueue(m_window, [this, &command, value] { return buttonCommand(command, value); });
}

void ParameterCommands::box_KeyPress(const ParameterCommand& command)
{
    const QString value = valueOf(command.box);
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
            focusOn(command.box);
            co_return;
        }
        if (!acceptsValue(command, value)) {
            focusOn(command.box);
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

QString ParameterCommands::valueOf(const char* box) const
{
    auto* edit = m_window.findChild<QLineEdit*>(QLatin1String(box));
    if (!edit)
        return {};
    if (auto* masked = qobject_cast<MaskedEdit*>(edit))
        return masked->digits();
    return edit->text();
}

void ParameterCommands::focusOn(const char* name)
{
    if (!name)
        return;
    if (auto* widget = m_window.findChild<QWidget*>(QLatin1String(name)))
        widget->setFocus();
}
