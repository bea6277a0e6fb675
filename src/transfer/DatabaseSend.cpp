#include "DatabaseSend.h"

#include "BusyPointer.h"
#include "CommandQueue.h"
#include "CommandSender.h"
#include "Dialogs.h"
#include "LineReader.h"
#include "LinkSession.h"
#include "RecordLines.h"
#include "TextFiles.h"
#include "form1.h"
#include "setform.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QProgressBar>
#include <QPushButton>

#include <chrono>
#include <optional>

namespace {

const QString SendFilter = TextFiles::DatabaseFilesFilter + QStringLiteral("|PAR files (*.PAR)|*.PAR");

// Counted in steps of this many bytes, the window's events handled between them.
constexpr qint64 CountStepBytes = 1024 * 1024;

struct LineCount
{
    qint64 total = -1; // non-empty lines; -1: not to be sent
    QString reason; // why not, for the operator; empty when the count was stopped
};

// The file's non-empty lines. A device or a pipe, or a line longer than the
// controller takes, refuses the file; a large file is counted in steps so the
// window stays live.
QCoro::Task<LineCount> countLines(CommandQueue& commands, QString path)
{
    if (QString reason = TextFiles::notAFileReason(path); !reason.isEmpty())
        co_return LineCount { -1, reason };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        co_return LineCount { -1, file.errorString() };
    LineReader reader(file);
    qint64 total = 0;
    qint64 stepEnd = CountStepBytes;
    QString line;
    while (reader.next(line)) {
        if (reader.tooLong())
            co_return LineCount { -1, TextFiles::longLineReason(reader.lineNumber()) };
        if (!line.isEmpty())
            ++total;
        if (reader.position() >= stepEnd) {
            stepEnd = reader.position() + CountStepBytes;
            const bool going = co_await commands.sleep(std::chrono::milliseconds(0));
            if (!going)
                co_return LineCount {};
        }
    }
    if (file.error() != QFileDevice::NoError)
        co_return LineCount { -1, file.errorString() };
    co_return LineCount { total, {} };
}

} // namespace

DatabaseSend::DatabaseSend(form1& window)
    : QObject(&window)
    , m_window(window)
{
    setObjectName(QStringLiteral("DatabaseSend"));
    connect(m_window.ui().download, &QPushButton::clicked, this, &DatabaseSend::download_Click);
    connect(m_window.ui().sendfileg, &QPushButton::clicked, this, &DatabaseSend::sendfileg_Click);
    // The bar shows how far the send is, not a percentage.
    m_window.ui().Progress->setTextVisible(false);
}

void DatabaseSend::download_Click()
{
    if (!m_window.MSComm1().portOpen())
        return;
    for (QWidget* control : m_window.programmingControls())
        control->setEnabled(true);
    m_window.ui().meditacd->setFocus();
}

void DatabaseSend::sendfileg_Click()
{
    // A second press waits for the first send to end: two files never interleave.
    m_window.commands().enqueue([this] { return sendCommand(); }, CommandQueue::Kind::Long);
}

QCoro::Task<> DatabaseSend::sendCommand()
{
    Ui::form1& ui = m_window.ui();
    m_window.closeLog();
    ui.Command3->hide();

    if (!m_window.MSComm1().portOpen())
        co_return;

    Dialogs::FileRequest request;
    request.title = QStringLiteral("Open Communication File");
    request.filter = SendFilter;
    request.filterIndex = 2;
    request.fileName = m_fileName;
    const std::optional<QString> chosen = m_window.dialogs().openFile(request);
    if (!chosen)
        co_return;
    m_fileName = *chosen;

    // Counted in 64 bits: a file of any length is sent whole.
    const LineCount count = co_await countLines(m_window.commands(), m_fileName);
    const qint64 total = count.total;
    if (total < 0) {
        if (!count.reason.isEmpty())
            TextFiles::reportReadFailure(m_window.dialogs(), m_fileName, count.reason);
        co_return;
    }
    if (total == 0)
        co_return;

    ui.Progress->show();
    ui.Progress->setRange(0, RecordLines::progressMaximum(total));
    ui.Progress->setValue(0);
    co_await sendLines(m_fileName, total);
    restoreWindow();
}

QCoro::Task<> DatabaseSend::sendLines(QString path, qint64 total)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        co_return;
    LineReader reader(file);
    LinkSession& port = m_window.MSComm1();
    std::optional<BusyPointer> busy;
    qint64 sent = 0;
    QDeadlineTimer due(QDeadlineTimer::Forever); // the end of the pause before the next line
    QString line;
    while (reader.next(line)) {
        // Changed since it was counted: no part of an over-long line goes out.
        if (reader.tooLong()) {
            TextFiles::reportReadFailure(
                m_window.dialogs(), path, TextFiles::longLineReason(reader.lineNumber()));
            co_return;
        }
        if (!busy)
            busy.emplace(m_window);
        if (line.isEmpty())
            continue;
        m_window.ui().Command1->show();

        const auto pause
            = m_window.waitLength(RecordLines::pauseSeconds(m_window.settingDialog().byteCycle()));
        if (due.isForever())
            due = QDeadlineTimer(pause, Qt::PreciseTimer);
        // Commands clicked meanwhile run in the pause, each whole; Disconnect ends the send.
        const bool waited = co_await m_window.commands().pauseUntil(due);
        if (!waited || !port.portOpen()) {
            if (!m_window.closing())
                m_window.dialogs().inform(Commands::closedPortText(), Commands::closedPortTitle());
            co_return;
        }
        const bool renewed = co_await Commands::renewPort(m_window, Commands::closedPortTitle());
        if (!renewed)
            co_return;
        // The next pause runs from this line on: a record's line time is part of it.
        due = QDeadlineTimer(pause, Qt::PreciseTimer);
        if (!RecordLines::isRecord(line))
            continue;
        // A record counts once it has left. One the far end holds back with XOFF is
        // waited for; given up by the operator (the port closed), the send ends as
        // for a lost port.
        const bool left = co_await port.send(RecordLines::wireLine(line));
        if (!left) {
            if (m_window.commands().stopping())
                co_return;
            if (port.portOpen())
                m_window.dialogs().inform(
                    Commands::notSentText(), Commands::closedPortTitle(), Dialogs::Icon::Exclamation);
            else
                m_window.dialogs().inform(Commands::closedPortText(), Commands::closedPortTitle());
            co_return;
        }
        ++sent;
        showCount(sent, total);
    }
}

void DatabaseSend::showCount(qint64 count, qint64 total)
{
    m_window.showSendCount(count);
    m_window.ui().Progress->setValue(RecordLines::progressValue(count, total));
}

void DatabaseSend::restoreWindow()
{
    Ui::form1& ui = m_window.ui();
    ui.Progress->setValue(0);
    ui.Progress->hide();
    ui.Command1->hide();
}
