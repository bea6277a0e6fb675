#include "ClockCommands.h"

#include "CommandLine.h"
#include "CommandSender.h"
#include "PcClock.h"
#include "SerialPort.h"
#include "form1.h"

#include <QAbstractButton>

ClockCommands::ClockCommands(form1& window)
    : QObject(&window)
    , m_window(window)
{
    const std::pair<const char*, void (ClockCommands::*)()> buttons[] = {
        { "RtRTc", &ClockCommands::RtRTc_Click },
        { "date", &ClockCommands::date_Click },
        { "endg", &ClockCommands::endg_Click },
    };
    for (const auto& [name, handler] : buttons) {
        if (auto* button = m_window.findChild<QAbstractButton*>(QLatin1String(name)))
            connect(button, &QAbstractButton::clicked, this, handler);
        else
            qWarning("Clock button %s is missing", name);
    }
}

void ClockCommands::RtRTc_Click()
{
    // The clock is read once, before the port is looked at.
    if (sendClockLine(CommandLine::time(PcClock::now().time())))
        focusOn("RtRTc");
}

void ClockCommands::date_Click()
{
    if (sendClockLine(CommandLine::date(PcClock::now().date())))
        focusOn("RtRTc");
}

void ClockCommands::endg_Click()
{
    // The direct line's port is renewed first: the focus goes to Connect only once
    // the line can go out, right before it does. The link itself stays up.
    Commands::SendOptions options;
    if (m_window.MSComm1().portOpen() && !Commands::renewPort(m_window, options.guardTitle))
        return;
    options.renew = false;
    options.afterGuard = [this] { focusOn("connect"); };
    Commands::SendCommandLine(m_window, CommandLine::fixed(QStringLiteral("END")), options);
}

bool ClockCommands::sendClockLine(const QByteArray& line)
{
    // The clock lines go out on the port as it is, without the RS232 renewal.
    Commands::SendOptions options;
    options.renew = false;
    return Commands::SendCommandLine(m_window, line, options);
}

void ClockCommands::focusOn(const char* name)
{
    if (auto* widget = m_window.findChild<QWidget*>(QLatin1String(name)))
        widget->setFocus();
}
