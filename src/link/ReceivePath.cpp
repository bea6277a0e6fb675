#include "ReceivePath.h"

#include "Dialogs.h"
#include "LinkSession.h"
#include "ReceiveFilter.h"
#include "TextFiles.h"
#include "Ticker.h"
#include "form1.h"

#include <QAction>
#include <QFileDevice>
#include <QIODevice>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTimer>

#include <algorithm>
#include <utility>

namespace {
const QString StatusPrefix = QStringLiteral("Status: ");
} // namespace

ReceivePath::ReceivePath(form1& window)
    : QObject(&window)
    , m_window(window)
{
    setObjectName(QStringLiteral("ReceivePath"));
    m_display = new QTimer(this);
    m_display->setSingleShot(true);
    connect(m_display, &QTimer::timeout, this, &ReceivePath::showPending);
    // The link reports from inside its own read; a message box opened there would
    // hold back every byte that arrives while it is up. The handlers run from the
    // event loop instead, in the order the events came.
    LinkSession& link = m_window.MSComm1();
    connect(&link, &LinkSession::received, this, &ReceivePath::MSComm1_Received, Qt::QueuedConnection);
    connect(&link, &LinkSession::lineError, this, &ReceivePath::MSComm1_LineError, Qt::QueuedConnection);
    connect(
        &link, &LinkSession::holdOutlasted, this, &ReceivePath::MSComm1_HoldOutlasted, Qt::QueuedConnection);
    connect(&link, &LinkSession::deviceLost, this, &ReceivePath::MSComm1_DeviceLost, Qt::QueuedConnection);
    connect(&m_window.Timer1(), &Ticker::ticked, this, &ReceivePath::Timer1_Timer);
}

void ReceivePath::MSComm1_Received(const QByteArray& bytes)
{
    handleEvent(ReceiveFilter::LinkEvent::Received, bytes);
}

void ReceivePath::MSComm1_LineError(SerialPort::LineError error)
{
    using ReceiveFilter::LinkEvent;
    static constexpr LinkEvent events[] = { LinkEvent::Overrun, LinkEvent::ReceiveOverflow,
        LinkEvent::Framing, LinkEvent::Parity, LinkEvent::Break };
    handleEvent(events[int(error)]);
}

void ReceivePath::MSComm1_HoldOutlasted()
{
    // Reported once per hold; the status bar then counts the hold's length.
    if (m_window.MSComm1().held())
        handleEvent(ReceiveFilter::LinkEvent::TransmitHeld);
}

void ReceivePath::Timer1_Timer()
{
    const LinkSession& link = m_window.MSComm1();
    if (link.held() && link.heldForMs() > 0 && m_holdShown)
        m_window.setPanelText(
            1, StatusPrefix + QStringLiteral("Held by the controller for %1 s").arg(link.heldForMs() / 1000));
    else
        m_holdShown = false;
}

void ReceivePath::handleEvent(ReceiveFilter::LinkEvent event, const QByteArray& received)
{
    const ReceiveFilter::EventTexts texts = ReceiveFilter::eventTexts(event);
    if (event == ReceiveFilter::LinkEvent::Received)
        AppendReceived(*m_window.ui().Text1, TextFiles::fromFileBytes(received));
    if (event == ReceiveFilter::LinkEvent::TransmitHeld)
        m_holdShown = true;

    if (!texts.status.isEmpty()) {
        m_window.setPanelText(1, StatusPrefix + texts.status);
    } else if (!texts.error.isEmpty()) {
        m_window.setPanelText(1, StatusPrefix + texts.error);
        reportLineError(texts.error);
    }
}

void ReceivePath::reportLineError(const QString& error)
{
    m_window.dialogs().beep();
    Dialogs::Message message;
    message.text = error;
    message.title = QStringLiteral("Click Cancel to quit, OK to ignore.");
    message.buttons = Dialogs::Buttons::OkCancel;
    // Cancel closes at once: a line the far end still holds back is given up, and
    // the command that was writing it says so; what left meanwhile counts as sent.
    if (m_window.dialogs().message(message) == Dialogs::Answer::Cancel)
        m_window.MSComm1().abandon();
}

void ReceivePath::MSComm1_DeviceLost(const QString& reason)
{
    // The port is closed already; the next command says so. Until then the
    // status bar tells why the controller went quiet.
    m_window.setPanelText(1, StatusPrefix + reason);
}

void ReceivePath::AppendReceived(QPlainTextEdit& box, const QString& text)
{
    const ReceiveFilter::Chunk chunk = ReceiveFilter::clean(text);
    if (m_box != &box)
        showPending();
    m_box = &box;
    if (!m_pending)
        m_pending.emplace(box.document()->toRawText());
    ReceiveFilter::add(*m_pending, chunk.replacesLast, ReceiveFilter::forDisplay(chunk.text));

    // A flood would otherwise lay out and paint the box once per read.
    if (!m_sinceShown.isValid() || m_sinceShown.elapsed() >= DisplayIntervalMs)
        showPending();
    else if (!m_display->isActive())
        m_display->start(int(DisplayIntervalMs - m_sinceShown.elapsed()));

    // The box first, then the log: text that arrives while a failed log write waits
    // for Retry lands behind this text in both.
    if (m_window.logOpen())
        writeLog(TextFiles::toFileBytes(chunk.text));
}

void ReceivePath::showPending()
{
    m_display->stop();
    if (!m_pending || !m_box)
        return;
    const ReceiveFilter::Batch batch = *std::exchange(m_pending, std::nullopt);
    QPlainTextEdit& box = *m_box;
    QTextCursor cursor(box.document());
    // The user may have edited the box meanwhile: keep within what it holds.
    const qsizetype length = box.document()->characterCount() - 1;
    const qsizetype end = std::min(batch.boxEnd, length);
    const qsizetype start = std::min(batch.boxStart, end);
    // Positions, not character moves: a move lays out every character it passes.
    if (end < length) {
        cursor.setPosition(int(end));
        cursor.setPosition(int(length), QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
    }
    if (start > 0) {
        cursor.setPosition(0);
        cursor.setPosition(int(start), QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
    }
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(batch.tail.mid(batch.tailStart));
    box.setTextCursor(cursor);
    box.ensureCursorVisible();
    m_sinceShown.start();
}

void ReceivePath::writeLog(const QByteArray& bytes)
{
    m_logPending += bytes;
    // Text that arrives while a failed write waits for Retry goes in behind it, so
    // the log keeps the order of the box.
    if (m_writingLog)
        return;
    m_writingLog = true;
    while (m_window.logOpen()) {
        QIODevice* log = m_window.logFile();
        bool ok = true;
        if (!m_logPending.isEmpty()) {
            const qint64 now = log->write(m_logPending);
            ok = now > 0;
            if (ok)
                m_logPending.remove(0, now);
        }
        if (ok && m_logPending.isEmpty()) {
            // A buffered file reports a full disk only when its buffer goes out; what
            // did not go out stays in the buffer for the next try.
            auto* file = qobject_cast<QFileDevice*>(log);
            if (!file || file->flush())
                break;
            ok = false;
        }
        if (ok)
            continue;

        Dialogs::Message message;
        message.text = log->errorString().isEmpty() ? QStringLiteral("The log file could not be written.")
                                                    : log->errorString();
        message.buttons = Dialogs::Buttons::RetryCancel;
        message.icon = Dialogs::Icon::Critical;
        // Retry writes only what has not gone out yet, so nothing is logged twice.
        if (m_window.dialogs().message(message) != Dialogs::Answer::Retry)
            m_window.closeLog();
    }
    // Without a log (cancelled, or closed meanwhile) nothing is kept for the next one.
    if (!m_window.logOpen())
        m_logPending.clear();
    m_writingLog = false;
}
