#include "LineMonitorWindow.h"

#include "Dialogs.h"
#include "LineMonitorLog.h"
#include "MonitorRecord.h"
#include "ui_LineMonitorWindow.h"

#include <QDir>
#include <QFontDatabase>
#include <QHeaderView>
#include <QSaveFile>
#include <QScrollBar>

LineMonitorWindow::LineMonitorWindow(
    LineMonitorLog& log, MonitorRecord& record, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_ui(std::make_unique<Ui::LineMonitorWindow>())
    , m_log(log)
    , m_record(record)
    , m_dialogs(dialogs)
{
    m_ui->setupUi(this);
    QTableView* rows = m_ui->rows;
    rows->setModel(&log);
    rows->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    rows->verticalHeader()->hide();
    // Fixed row heights: the view never measures the rows it is given.
    rows->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    rows->verticalHeader()->setDefaultSectionSize(rows->fontMetrics().height() + 4);
    rows->horizontalHeader()->setStretchLastSection(true);
    const int digit = rows->fontMetrics().horizontalAdvance(QLatin1Char('0'));
    rows->setColumnWidth(LineMonitorLog::TimeColumn, digit * 14);
    rows->setColumnWidth(LineMonitorLog::DirectionColumn, digit * 10);
    rows->setColumnWidth(LineMonitorLog::TextColumn, digit * 60);
    rows->setColumnHidden(LineMonitorLog::HexColumn, true);

    // The view follows new rows while the operator is at the end, and stays where
    // the operator scrolled to otherwise.
    connect(&log, &QAbstractItemModel::rowsAboutToBeInserted, this, [this] {
        const QScrollBar* bar = m_ui->rows->verticalScrollBar();
        m_followEnd = bar->value() == bar->maximum();
    });
    connect(&log, &QAbstractItemModel::rowsInserted, this, [this] {
        if (m_followEnd && isVisible())
            m_ui->rows->scrollToBottom();
    });
    connect(&log, &LineMonitorLog::trimmed, this, &LineMonitorWindow::updateTrimmedLabel);
    connect(m_ui->showHex, &QCheckBox::toggled, this, &LineMonitorWindow::showHex_Toggled);
    connect(m_ui->save, &QPushButton::clicked, this, &LineMonitorWindow::save_Click);
    m_ui->record->setChecked(record.enabled());
    connect(m_ui->record, &QCheckBox::toggled, this, &LineMonitorWindow::record_Toggled);
    connect(m_ui->folder, &QPushButton::clicked, this, &LineMonitorWindow::folder_Click);
    connect(&record, &MonitorRecord::changed, this, &LineMonitorWindow::updateRecordLabel);
    updateRecordLabel();
    updateTrimmedLabel();
    log.flush();
    rows->scrollToBottom();
}

LineMonitorWindow::~LineMonitorWindow() = default;

void LineMonitorWindow::showHex_Toggled(bool on)
{
    m_ui->rows->setColumnHidden(LineMonitorLog::HexColumn, !on);
}

void LineMonitorWindow::save_Click()
{
    Dialogs::FileRequest request;
    request.title = tr("Save Line Monitor");
    request.filter = QStringLiteral("Text Files (*.txt)|*.txt");
    request.fileName = QStringLiteral("line-monitor.txt");
    const std::optional<QString> path = m_dialogs.saveFile(request);
    if (!path)
        return;
    m_log.flush();
    QSaveFile file(*path);
    if (!file.open(QIODevice::WriteOnly) || !m_log.save(file) || !file.commit()) {
        Dialogs::Message message;
        message.text = tr("The line monitor could not be saved.");
        message.title = tr("Save Line Monitor");
        message.icon = Dialogs::Icon::Exclamation;
        message.details = file.errorString();
        m_dialogs.message(message);
    }
}

void LineMonitorWindow::record_Toggled(bool on)
{
    m_record.setEnabled(on);
}

void LineMonitorWindow::folder_Click()
{
    const std::optional<QString> folder
        = m_dialogs.chooseFolder(tr("Folder for Session Records"), m_record.folder());
    if (folder)
        m_record.setFolder(*folder);
}

void LineMonitorWindow::updateRecordLabel()
{
    const QString folder = QDir::toNativeSeparators(m_record.folder());
    QString text;
    if (!m_record.problem().isEmpty())
        text = tr("The session record could not be written: %1").arg(m_record.problem());
    else if (!m_record.filePath().isEmpty())
        text = tr("Recording to %1").arg(QDir::toNativeSeparators(m_record.filePath()));
    else if (m_record.enabled())
        text = tr("The next Connect starts a record in %1").arg(folder);
    else
        text = tr("Records go to %1").arg(folder);
    m_ui->recordLabel->setText(text);
}

void LineMonitorWindow::updateTrimmedLabel()
{
    const qint64 dropped = m_log.droppedRows();
    m_ui->trimmedLabel->setVisible(dropped > 0);
    m_ui->trimmedLabel->setText(
        tr("The oldest %1 rows of the session were dropped to keep the monitor within its memory bound.")
            .arg(dropped));
}
