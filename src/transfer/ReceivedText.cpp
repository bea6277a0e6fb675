#include "ReceivedText.h"

#include "ReceivePath.h"

#include "Clipboard.h"
#include "Dialogs.h"
#include "ListingPrinter.h"
#include "TextFiles.h"
#include "form1.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QTextEdit>

namespace {

const QString CrLf = QStringLiteral("\r\n");

// The selection of an editable box, or nothing when the focus is on anything else.
struct Selectable
{
    QLineEdit* line = nullptr;
    QPlainTextEdit* plain = nullptr;
    QTextEdit* rich = nullptr;

    explicit Selectable(QWidget* widget)
        : line(qobject_cast<QLineEdit*>(widget))
        , plain(qobject_cast<QPlainTextEdit*>(widget))
        , rich(qobject_cast<QTextEdit*>(widget))
    {
    }
    bool valid() const { return line || plain || rich; }
    QString selected() const
    {
        if (line)
            return line->selectedText();
        if (plain)
            return plain->textCursor().selectedText().replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
        if (rich)
            return rich->textCursor().selectedText().replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
        return {};
    }
    void replaceSelection(const QString& text)
    {
        if (line) {
            line->insert(text);
        } else if (plain) {
            plain->insertPlainText(text);
        } else if (rich) {
            rich->insertPlainText(text);
        }
    }
};

} // namespace

ReceivedText::ReceivedText(form1& window, ReceivePath& received)
    : QObject(&window)
    , m_window(window)
    , m_received(received)
{
    setObjectName(QStringLiteral("ReceivedText"));
    Ui::form1& ui = m_window.ui();
    connect(ui.save_received, &QAction::triggered, this, &ReceivedText::save_received_Click);
    connect(ui.print_receive, &QAction::triggered, this, &ReceivedText::print_receive_Click);
    connect(ui.cut_file, &QAction::triggered, this, &ReceivedText::cut_file_Click);
    connect(ui.copy_file, &QAction::triggered, this, &ReceivedText::copy_file_Click);
    connect(ui.paset_file, &QAction::triggered, this, &ReceivedText::paset_file_Click);
}

QString ReceivedText::receivedText() const
{
    m_received.showPending();
    // The box breaks lines where the controller sent CR LF; the file keeps CR LF.
    // Raw text: toPlainText() would turn a received no-break space into a blank.
    QString text = m_window.ui().Text1->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, CrLf);
    text.replace(QChar::LineSeparator, CrLf);
    return text;
}

void ReceivedText::save_received_Click()
{
    m_received.showPending();
    Dialogs& dialogs = m_window.dialogs();
    if (m_window.ui().Text1->document()->isEmpty()) {
        dialogs.inform(QStringLiteral("Invalid file"), TextFiles::SaveFileTitle);
        return;
    }
    Dialogs::FileRequest request;
    request.filter = QStringLiteral("txt Files (*.txt)|*.txt");
    request.fileName = m_fileName;
    request.confirmOverwrite = false;
    const std::optional<QString> chosen = dialogs.saveFile(request);
    if (!chosen)
        return;
    m_fileName = *chosen;
    m_window.ui().Text1->setFocus();

    // Written whole or not at all: a failed save leaves no partial file behind.
    const TextFiles::Result saved
        = TextFiles::save(m_fileName, TextFiles::toFileBytes(receivedText() + CrLf));
    if (!saved.ok)
        dialogs.inform(saved.error, TextFiles::SaveFileTitle, Dialogs::Icon::Exclamation);
}

void ReceivedText::print_receive_Click()
{
    const std::optional<Dialogs::PrintRequest> request = m_window.dialogs().print();
    if (!request || !request->printer)
        return;
    ListingPrinter::Listing listing;
    listing.heading = QStringLiteral("RECEIVE: FILE CONTENT");
    listing.body = receivedText();
    ListingPrinter::print(*request->printer, listing, request->copies);
}

void ReceivedText::copySelection(bool cut)
{
    m_received.showPending();
    if (m_window.ui().Text1->document()->isEmpty())
        return;
    Selectable focused(QApplication::focusWidget());
    // A button or other control without text has no selection to give: the
    // clipboard keeps what it holds and Paste is not offered for it.
    if (!focused.valid())
        return;
    Clipboard::clear();
    Clipboard::setText(focused.selected());
    if (cut)
        focused.replaceSelection(QString());
    m_window.ui().paset_file->setEnabled(true);
}

void ReceivedText::cut_file_Click()
{
    copySelection(true);
}

void ReceivedText::copy_file_Click()
{
    copySelection(false);
}

void ReceivedText::paset_file_Click()
{
    Selectable focused(QApplication::focusWidget());
    if (focused.valid())
        focused.replaceSelection(Clipboard::text());
}
