#include "ModemFront.h"

namespace {
QByteArray modemReply(QByteArrayView text)
{
    return text.toByteArray() + "\r\n";
}
} // namespace

ModemFront::ModemFront(ControllerSim& controller, Clock clock, int dialDelayMs)
    : m_controller(controller)
    , m_clock(clock ? std::move(clock) : Clock([] { return QDateTime::currentDateTime(); }))
    , m_dialDelayMs(dialDelayMs)
{
}

QByteArray ModemFront::feed(const QByteArray& bytes)
{
    QByteArray out;
    for (const QByteArray& line : m_splitter.feed(bytes)) {
        switch (m_phase) {
        case Phase::Command:
            out += command(line);
            break;
        case Phase::Dialling:
            // Nobody is listening yet: what is sent before the carrier is lost.
            break;
        case Phase::Online:
            out += m_controller.answer(line);
            if (m_controller.takeDisconnect()) {
                m_controller.dropLink();
                m_phase = Phase::Command;
                out += modemReply("NO CARRIER");
            }
            break;
        }
    }
    return out;
}

QByteArray ModemFront::command(const QByteArray& line)
{
    const QByteArray text = line.trimmed().toUpper();
    if (text.isEmpty())
        return {};
    if (!text.startsWith("AT"))
        return modemReply("ERROR");
    if (!text.startsWith("ATD"))
        return modemReply("OK");
    QByteArray number = text.sliced(3);
    if (number.startsWith('T') || number.startsWith('P'))
        number = number.sliced(1);
    if (number.trimmed().isEmpty())
        return modemReply("NO DIALTONE");
    m_phase = Phase::Dialling;
    m_connectAt = m_clock().addMSecs(m_dialDelayMs);
    return {};
}

QByteArray ModemFront::poll()
{
    if (m_phase != Phase::Dialling || m_clock() < m_connectAt)
        return {};
    m_phase = Phase::Online;
    // The controller picks up and greets on its own: in modem mode the tool sends no "COM".
    return modemReply("CONNECT 1200") + m_controller.greeting();
}

std::optional<qint64> ModemFront::msUntilDue() const
{
    if (m_phase != Phase::Dialling)
        return std::nullopt;
    return std::max<qint64>(0, m_clock().msecsTo(m_connectAt));
}
