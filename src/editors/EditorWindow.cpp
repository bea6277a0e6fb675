#include "EditorWindow.h"

#include "ButtonKeys.h"
#include "DatabaseFile.h"
#include "Dialogs.h"
#include "EditorKinds.h"
#include "ListingPrinter.h"
#include "MaskedEdit.h"
#include "TextFiles.h"
#include "ui_EditorWindow.h"

#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QTextBlock>
#include <QTextCursor>

namespace {

const QLatin1String LineEnd("\r\n");

QFont terminalFont()
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (QFontDatabase::families().contains(QStringLiteral("Terminal")))
        font.setFamily(QStringLiteral("Terminal"));
    return font;
}

// The box shows lines as blocks; the file's text ends each with CR LF.
QString boxTextOf(const QString& content)
{
    QString text = content;
    text.replace(LineEnd, QStringLiteral("\n"));
    return text;
}

} // namespace

EditorWindow::EditorWindow(const EditorKind& kind, Dialogs& dialogs, QWidget* parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::EditorWindow>())
    , m_kind(kind)
    , m_dialogs(dialogs)
{
    m_ui->setupUi(this);
    setObjectName(QLatin1String(kind.window));
    m_ui->enterButton->setObjectName(QLatin1String(kind.enter));
    m_ui->saveButton->setObjectName(QLatin1String(kind.save));
    m_ui->saveAsButton->setObjectName(QLatin1String(kind.saveAs));
    m_ui->printButton->setObjectName(QLatin1String(kind.print));
    m_ui->quitButton->setObjectName(QLatin1String(kind.quit));
    m_ui->StatusBar1->setVisible(kind.statusBar);
    m_ui->Text1->setFont(terminalFont());
    // Enter in a box moves the focus; only a focused button answers the Enter key.
    for (QPushButton* button :
        { m_ui->enterButton, m_ui->saveButton, m_ui->saveAsButton, m_ui->printButton, m_ui->quitButton })
        button->setDefault(false);
    ButtonKeys::install(this);
    buildBoxes();

    connect(m_ui->enterButton, &QPushButton::clicked, this, &EditorWindow::Enter_Click);
    connect(m_ui->saveButton, &QPushButton::clicked, this, &EditorWindow::Save_Click);
    connect(m_ui->saveAsButton, &QPushButton::clicked, this, &EditorWindow::SaveAs_Click);
    connect(m_ui->printButton, &QPushButton::clicked, this, &EditorWindow::Print_Click);
    connect(m_ui->quitButton, &QPushButton::clicked, this, &EditorWindow::Quit_Click);
}

EditorWindow::~EditorWindow() = default;

Ui::EditorWindow& EditorWindow::ui()
{
    return *m_ui;
}

const EditorKind& EditorWindow::kind() const
{
    return m_kind;
}

const QList<MaskedEdit*>& EditorWindow::boxes() const
{
    return m_boxes;
}

void EditorWindow::buildBoxes()
{
    int row = -1;
    int column = 0;
    QWidget* previous = nullptr;
    for (const EditorBox& boxEntry : m_kind.boxes) {
        auto* box = new MaskedEdit(this);
        box->setObjectName(QLatin1String(boxEntry.name));
        const QString mask = QLatin1String(boxEntry.mask);
        if (mask.isEmpty())
            box->setMaxLength(boxEntry.maxLength);
        else
            box->setDigitMask(mask);
        auto* label = new QLabel(QLatin1String(boxEntry.label), this);
        label->setBuddy(box);
        box->setAccessibleName(
            QLatin1String(boxEntry.accessibleName ? boxEntry.accessibleName : boxEntry.label));
        if (boxEntry.grey) {
            QPalette palette = box->palette();
            palette.setColor(QPalette::Base, palette.color(QPalette::Window));
            box->setPalette(palette);
        }
        // Masked boxes are as wide as their mask; names get room for 12 characters.
        const int characters = mask.isEmpty() ? boxEntry.maxLength : int(mask.size());
        box->setMaximumWidth(
            box->fontMetrics().horizontalAdvance(QString(characters + 2, QLatin1Char('0'))) + 12);
        if (!boxEntry.sameRow) {
            ++row;
            column = 0;
        }
        m_ui->boxGrid->addWidget(label, row, column++);
        m_ui->boxGrid->addWidget(box, row, column++);
        box->installEventFilter(this);
        if (previous)
            setTabOrder(previous, box);
        previous = box;
        m_boxes.append(box);
    }
    // The widest row (month, "/", day) has four columns; the rest of the width stays free.
    m_ui->boxGrid->setColumnStretch(4, 1);
    // Tab runs down the boxes, then over the buttons to File Content; a new editor
    // takes typing in its first box.
    QWidget* const afterBoxes[] = { m_ui->enterButton, m_ui->quitButton, m_ui->saveButton, m_ui->saveAsButton,
        m_ui->printButton, m_ui->Text1 };
    for (QWidget* next : afterBoxes) {
        if (previous)
            setTabOrder(previous, next);
        previous = next;
    }
    if (!m_boxes.isEmpty())
        m_boxes.constFirst()->setFocus(Qt::OtherFocusReason);
}

bool EditorWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const auto index = m_boxes.indexOf(qobject_cast<MaskedEdit*>(watched));
        if (index >= 0 && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            if (index + 1 < m_boxes.size())
                m_boxes.at(index + 1)->setFocus(Qt::OtherFocusReason);
            else
                m_ui->enterButton->setFocus(Qt::OtherFocusReason);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void EditorWindow::loadFile(const QString& fileName)
{
    if (fileName.isEmpty())
        return;
    const DatabaseFile::Loaded loaded = DatabaseFile::load(fileName);
    if (!loaded.ok) {
        // The editor opens empty; the user learns why.
        TextFiles::reportReadFailure(m_dialogs, fileName, loaded.error);
        return;
    }
    setContent(loaded.content);
    m_savedContent = content();
    m_ui->Text1->moveCursor(QTextCursor::End);
}

QString EditorWindow::content() const
{
    // Block by block: toPlainText() would turn a no-break space into a blank. A
    // line break typed inside a line (Shift+Enter) ends a line too.
    QString result;
    for (QTextBlock block = m_ui->Text1->document()->begin(); block.isValid(); block = block.next()) {
        if (block != m_ui->Text1->document()->begin())
            result += LineEnd;
        QString text = block.text();
        text.replace(QChar::LineSeparator, LineEnd);
        result += text;
    }
    return result;
}

void EditorWindow::setContent(const QString& content)
{
    m_ui->Text1->setPlainText(boxTextOf(content));
}

void EditorWindow::Enter_Click()
{
    QList<EditorReading> readings;
    for (const MaskedEdit* box : std::as_const(m_boxes))
        readings.append({ box->digits(), box->boxText() });
    const EditorRecord record = m_kind.build(readings);
    if (record.refusal) {
        m_dialogs.inform(record.refusal->text, record.refusal->title);
        m_boxes.at(record.refusal->box)->setFocus(Qt::OtherFocusReason);
        return;
    }
    // Appended at the end of the document: the same text as old text + line, without
    // rebuilding the whole box.
    QTextCursor cursor(m_ui->Text1->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(record.line + QLatin1Char('\n'));
    clearBoxes();
    if (!m_boxes.isEmpty())
        m_boxes.constFirst()->setFocus(Qt::OtherFocusReason);
}

void EditorWindow::clearBoxes()
{
    for (MaskedEdit* box : std::as_const(m_boxes))
        box->clearPositions();
}

void EditorWindow::Save_Click()
{
    saveContent(m_fileName.isEmpty(), QStringLiteral("Save"));
}

void EditorWindow::SaveAs_Click()
{
    saveContent(true, QLatin1String(m_kind.saveAsTitle));
}

bool EditorWindow::saveContent(bool askName, const QString& dialogTitle)
{
    const QString text = content();
    if (text.isEmpty()) {
        m_dialogs.inform(QStringLiteral("Invalid file"), TextFiles::SaveFileTitle);
        return false;
    }
    if (askName) {
        Dialogs::FileRequest request { dialogTitle, QLatin1String(m_kind.filter), 1, m_fileName };
        // An existing file is replaced without a question.
        request.confirmOverwrite = false;
        const std::optional<QString> chosen = m_dialogs.saveFile(request);
        if (!chosen || chosen->isEmpty())
            return false;
        m_fileName = *chosen;
    }
    m_ui->Text1->setFocus(Qt::OtherFocusReason);
    // Written whole through a temporary file: a failed save leaves the old file as it was.
    const TextFiles::Result result = TextFiles::save(m_fileName, DatabaseFile::fileFromContent(text));
    if (!result.ok) {
        m_dialogs.inform(QStringLiteral("The file %1 could not be saved: %2").arg(m_fileName, result.error),
            TextFiles::SaveFileTitle, Dialogs::Icon::Exclamation);
        return false;
    }
    m_savedContent = text;
    return true;
}

bool EditorWindow::holdsUnsavedRecords() const
{
    const QString text = content();
    return !text.isEmpty() && text != m_savedContent;
}

void EditorWindow::Print_Click()
{
    const std::optional<Dialogs::PrintRequest> request = m_dialogs.print();
    if (!request || !request->printer)
        return;
    ListingPrinter::print(
        *request->printer, { QStringLiteral("SEND: FILE CONTENT"), content() }, request->copies);
}

void EditorWindow::Quit_Click()
{
    reject();
}

void EditorWindow::reject()
{
    if (holdsUnsavedRecords()) {
        Dialogs::Message question;
        question.text = QStringLiteral("Save changes to the file?");
        question.buttons = Dialogs::Buttons::SaveDiscardCancel;
        question.icon = Dialogs::Icon::Question;
        question.defaultButton = Dialogs::Answer::Save;
        switch (m_dialogs.message(question)) {
        case Dialogs::Answer::Save:
            // A save that did not happen (cancelled, failed) keeps the records on screen.
            if (!saveContent(m_fileName.isEmpty(), QStringLiteral("Save")))
                return;
            break;
        case Dialogs::Answer::Discard:
            break;
        default:
            return;
        }
    }
    QDialog::reject();
}
