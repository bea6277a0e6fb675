#include "UploadHandlers.h"

#include "CommandLine.h"
#include "CommandSender.h"
#include "Dialogs.h"
#include "LinkSession.h"
#include "ReplaceQuestion.h"
#include "form1.h"

#include <QFile>
#include <QFileInfo>
#include <QPushButton>

#include <array>

namespace {

const std::array<LogUpload, 6> LogUploads { {
    { &Ui::form1::atsc, "Open Communications Log AutoSchedule File", "ATS Files (*.ATS)|*.ATS", "PRIATS",
        true },
    { &Ui::form1::Command2, "Open Communications Log AcesseCode File", "ACD Files (*.ACD)|*.ACD", "PRIACD",
        true },
    { &Ui::form1::hldc, "Open Communications Log Holiday File", "HLD Files (*.HLD)|*.HLD", "PRIHLD", false },
    { &Ui::form1::tmzc, "Open Communications Log TimeZone File", "TMZ Files (*.TMZ)|*.TMZ", "PRITMZ", true },
    { &Ui::form1::up_evr, "Open Communications Log Event File", "EVR Files (*.EVR)|*.EVR", "PRIEVR", true },
    { &Ui::form1::up_tnt, "Open Communications Log Tenant File", "TNT Files (*.TNT)|*.TNT", "PRITNT", true },
} };

} // namespace

UploadHandlers::UploadHandlers(form1& window)
    : QObject(&window)
    , m_window(window)
{
    setObjectName(QStringLiteral("UploadHandlers"));
    Ui::form1& ui = m_window.ui();
    connect(ui.upload, &QPushButton::clicked, this, &UploadHandlers::upload_Click);
    for (const LogUpload& upload : LogUploads)
        connect(ui.*upload.button, &QPushButton::clicked, this, [this, &upload] { logUpload_Click(upload); });
    connect(ui.up_par, &QPushButton::clicked, this, &UploadHandlers::up_par_Click);
    connect(ui.up_all, &QPushButton::clicked, this, &UploadHandlers::up_all_Click);
    connect(ui.up_hlp, &QPushButton::clicked, this, &UploadHandlers::up_hlp_Click);
}

void UploadHandlers::upload_Click()
{
    Ui::form1& ui = m_window.ui();
    // What "Receive" enables, in order.
    const QList<QWidget*> receiveFrame { ui.Frame3, ui.up_all, ui.up_par, ui.up_tnt, ui.up_evr, ui.Command2,
        ui.hldc, ui.tmzc, ui.atsc };
    for (QWidget* control : receiveFrame)
        control->setEnabled(true);
    m_window.ui().up_par->setFocus();
}

void UploadHandlers::closeLogFirst()
{
    m_window.closeLog();
    m_window.ui().Command3->hide();
}

void UploadHandlers::logUpload_Click(const LogUpload& upload)
{
    Commands::enqueue(m_window, [this, &upload] { return logUploadCommand(upload); });
}

QCoro::Task<> UploadHandlers::logUploadCommand(const LogUpload& upload)
{
    closeLogFirst();
    if (!m_window.MSComm1().portOpen()) {
        m_window.dialogs().inform(Commands::closedPortText(), Commands::closedPortTitle());
        co_return;
    }
    if (upload.enablesSend)
        m_window.ui().download->setEnabled(true);

    // The direct line wants a freshly opened port; it is renewed before the dialog.
    const bool renewed = co_await Commands::renewPort(m_window, Commands::closedPortTitle());
    if (!renewed)
        co_return;

    if (!chooseLog(upload))
        co_return;

    // Renewed already; the guard catches a port lost while the dialog was up.
    Commands::SendOptions options;
    options.renew = false;
    co_await Commands::SendCommandLine(m_window, CommandLine::fixed(QLatin1String(upload.command)), options);
}

bool UploadHandlers::chooseLog(const LogUpload& upload)
{
    Dialogs& dialogs = m_window.dialogs();
    Dialogs::FileRequest request;
    request.title = QLatin1String(upload.title);
    request.filter = QLatin1String(upload.filter);
    request.mustExist = false;

    QString path;
    Dialogs::Answer answer = Dialogs::Answer::Ok; // none: no file of that name
    for (;;) {
        request.fileName.clear();
        const std::optional<QString> chosen = dialogs.openFile(request);
        // Without a log the dump still comes, into the received-content box only.
        if (!chosen)
            return true;
        path = *chosen;
        answer = Dialogs::Answer::Ok;
        const LogLookUp found = lookUp(path);
        if (!found.failure.isEmpty()) {
            dialogs.inform(found.failure, {}, Dialogs::Icon::Exclamation);
            return false;
        }
        if (!found.exists)
            break;
        answer = ReplaceQuestion::ask(dialogs, path);
        if (answer != Dialogs::Answer::Cancel)
            break;
    }

    // Replacing empties the old log only once the open has succeeded: a log that
    // cannot be opened keeps its content, and the dump is not asked for. Otherwise
    // the dump goes after what the file holds (a file kept by answering No).
    const bool replace = answer == Dialogs::Answer::Yes;
    auto log = std::make_unique<QFile>(path);
    if (!log->open(QIODevice::WriteOnly | (replace ? QIODevice::Truncate : QIODevice::Append))) {
        dialogs.inform(log->errorString(), {}, Dialogs::Icon::Exclamation);
        return !replace;
    }
    m_window.openLog(std::move(log));
    QPushButton* close = m_window.ui().Command3;
    close->show();
    close->setEnabled(true);
    close->setFocus();
    return true;
}

UploadHandlers::LogLookUp UploadHandlers::lookUp(const QString& path)
{
    const QFileInfo file(path);
    if (file.exists())
        return { true, {} };
    if (QFileInfo(file.absolutePath()).isDir())
        return {};
    // A folder of the path is missing or is a file: no log can be made there. The
    // system's reason is what opening the path reports.
    QFile probe(path);
    if (probe.open(QIODevice::ReadOnly))
        return { true, {} };
    return { false, probe.errorString() };
}

void UploadHandlers::up_par_Click()
{
    Commands::enqueue(
        m_window, [this] { return fixedUploadCommand(CommandLine::fixed(QStringLiteral("PRIPAR")), false); });
}

void UploadHandlers::up_all_Click()
{
    Commands::enqueue(
        m_window, [this] { return fixedUploadCommand(CommandLine::fixed(QStringLiteral("PRIALL")), true); });
}

QCoro::Task<> UploadHandlers::fixedUploadCommand(QByteArray line, bool enablesSend)
{
    closeLogFirst();
    if (!m_window.MSComm1().portOpen()) {
        m_window.dialogs().inform(Commands::closedPortText(), Commands::closedPortTitle());
        co_return;
    }
    // "Send" becomes usable only once the direct line's port has been renewed.
    const bool renewed = co_await Commands::renewPort(m_window, Commands::closedPortTitle());
    if (!renewed)
        co_return;
    if (enablesSend)
        m_window.ui().download->setEnabled(true);
    Commands::SendOptions options;
    options.renew = false;
    co_await Commands::SendCommandLine(m_window, line, options);
}

void UploadHandlers::up_hlp_Click()
{
    // An open log stays open and records the help text too.
    Commands::enqueue(m_window, [this] { return helpCommand(); });
}

QCoro::Task<> UploadHandlers::helpCommand()
{
    co_await Commands::SendCommandLine(m_window, CommandLine::fixed(QStringLiteral("HLP")));
}
