#include "ParameterCommands.h"

#include "CommandLine.h"
#include "CommandSender.h"
#include "Dialogs.h"
#include "MaskedEdit.h"
#include "SerialPort.h"
#include "form1.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTimer>

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
    // The masked boxes put their caret at the start themselves; this one is a plain text box.
    m_newMasterCode = m_window.findChild<QLineEdit*>(QStringLiteral("Medit_New_mastercode"));
}

bool ParameterCommands::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn && watched == m_newMasterCode) {
        Medit_New_mastercode_GotFocus();
    } else if (event->type() == QEvent::KeyPress && isEnter(static_cast<QKeyEvent*>(event))) {
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
    switch (command.kind) {
    case Kind::Message:
        message_Click();
        return;
    case Kind::Value:
        if (valueOf(command.box).isEmpty()) {
            m_window.dialogs().inform(QString::fromLatin1(command.prompt));
            focusOn(command.box);
            return;
        }
        if (!acceptsValue(command)) {
            focusOn(command.box);
            return;
        }
        break;
    case Kind::Fixed:
        break;
    }
    if (send(command, QStringLiteral("Disconnect")))
        focusOn(command.next);
}

void ParameterCommands::box_KeyPress(const ParameterCommand& command)
{
    // No value guard here: an empty box sends the keyword and the blank alone.
    if (!acceptsValue(command))
        return;
    if (send(command, QString::fromLatin1(command.enterGuardTitle)))
        focusOn(command.next);
}

bool ParameterCommands::acceptsValue(const ParameterCommand& command)
{
    // The controller's master-code entry takes four digits: a shorter new code, or
    // one with other characters, would lock the installer out.
    if (!command.fourDigits)
        return true;
    static const QRegularExpression fourDigits(QStringLiteral("^[0-9]{4}$"));
    if (fourDigits.match(valueOf(command.box)).hasMatch())
        return true;
    m_window.dialogs().inform(QStringLiteral("The new master code must be 4 digits"));
    return false;
}

void ParameterCommands::message_Click()
{
    const QString text = valueOf("MsgWel");
    if (text.isEmpty() || !m_window.MSComm1().portOpen()) {
        m_window.dialogs().inform(QStringLiteral("Please Input the text in 'Welcome Message' box"),
            QStringLiteral("Wellcome Message"));
        return;
    }
    m_window.setBusyPointer(true);
    Commands::SendCommandLine(m_window, CommandLine::withValue(QStringLiteral("PARMSG"), text));
    m_window.setBusyPointer(false);
}

void ParameterCommands::Medit_New_mastercode_GotFocus()
{
    // After the box's own focus handling, which may select all on Tab.
    QTimer::singleShot(0, m_newMasterCode, [box = m_newMasterCode] { box->setCursorPosition(0); });
}

bool ParameterCommands::send(const ParameterCommand& command, const QString& guardTitle)
{
    const QString keyword = QString::fromLatin1(command.keyword);
    const QByteArray line
        = command.box ? CommandLine::withValue(keyword, valueOf(command.box)) : CommandLine::fixed(keyword);
    auto* arn = m_window.findChild<QWidget*>(QStringLiteral("ARN"));

    Commands::SendOptions options;
    options.guardTitle = guardTitle;
    if (command.effect == Effect::EnableArnFirst)
        options.afterGuard = [arn] { arn->setEnabled(true); };
    if (!Commands::SendCommandLine(m_window, line, options))
        return false;

    switch (command.effect) {
    case Effect::None:
    case Effect::EnableArnFirst:
        break;
    case Effect::DisableArn:
        arn->setEnabled(false);
        break;
    case Effect::EnableSystemId:
        m_window.findChild<QWidget*>(QStringLiteral("systemid"))->setEnabled(true);
        m_window.findChild<QWidget*>(QStringLiteral("medit5"))->setEnabled(true);
        break;
    case Effect::DisableSystemId:
        m_window.findChild<QWidget*>(QStringLiteral("systemid"))->setEnabled(false);
        break;
    }
    return true;
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
