#include "MasterCodeEntry.h"

#include "CommandLine.h"
#include "CommandSender.h"
#include "Dialogs.h"
#include "EnterKey.h"
#include "LineText.h"
#include "LinkSession.h"
#include "PlainEdit.h"
#include "SettingsStore.h"
#include "form1.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpressionValidator>

namespace {

// A key that types a character (what the box's KeyPress sees); navigation keys
// type nothing and pass untouched.
bool typesCharacter(const QKeyEvent* key)
{
    if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab || key->key() == Qt::Key_Delete)
        return false;
    if (isEnterKey(key) || key->key() == Qt::Key_Backspace)
        return true;
    return !key->text().isEmpty();
}

bool isDigit(const QKeyEvent* key)
{
    return key->text().size() == 1 && key->text().front() >= QLatin1Char('0')
        && key->text().front() <= QLatin1Char('9');
}

} // namespace

MasterCodeEntry::MasterCodeEntry(form1& window)
    : QObject(&window)
    , m_window(window)
{
    m_text3 = m_window.ui().Text3;
    m_text2 = m_window.ui().Text2;
    m_text3->setMaxLength(4);
    // Pasting must not bring in what typing cannot.
    m_text3->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,4}")), m_text3));
    m_text3->installEventFilter(this);
    connect(m_text2, &QLineEdit::textChanged, this, &MasterCodeEntry::Text2_Change);
    m_text2->installEventFilter(this);
    for (QLineEdit* box : { m_text3, m_text2 }) {
        PlainEdit::install(box);
        LineText::install(box);
    }
    connect(m_window.ui().Mastercode, &QAbstractButton::clicked, this, &MasterCodeEntry::Mastercode_Click);
}

bool MasterCodeEntry::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_text3 && watched != m_text2)
        return false;
    if (event->type() != QEvent::KeyPress)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    return watched == m_text3 ? Text3_KeyPress(key) : Text2_KeyPress(key);
}

void MasterCodeEntry::Mastercode_Click()
{
    Commands::enqueue(m_window, [this, code = m_text3->text()] { return masterCodeCommand(code, true); });
}

bool MasterCodeEntry::Text3_KeyPress(QKeyEvent* key)
{
    if (!typesCharacter(key))
        return false;
    if (key->key() == Qt::Key_Backspace)
        m_text3->clear();
    else if (isEnterKey(key))
        Commands::enqueue(
            m_window, [this, code = m_text3->text()] { return masterCodeCommand(code, false); });
    if (isDigit(key))
        return false;
    // Only digits are typed; everything else, Enter and Backspace included, beeps.
    m_window.dialogs().beep();
    return true;
}

bool MasterCodeEntry::Text2_KeyPress(QKeyEvent* key)
{
    if (key->key() == Qt::Key_Backspace) {
        m_text2->clear();
        return true;
    }
    if (isEnterKey(key)) {
        m_window.settings().setValue(SettingsStore::Properties, QStringLiteral("ph"), m_text2->text());
        m_window.ui().connect->setFocus();
    }
    return false;
}

void MasterCodeEntry::Text2_Change()
{
    m_window.settings().setValue(SettingsStore::Properties, QStringLiteral("ph"), m_text2->text());
}

QCoro::Task<> MasterCodeEntry::masterCodeCommand(QString code, bool fromButton)
{
    if (code.isEmpty()) {
        m_window.dialogs().inform(QStringLiteral("Please input Master Code"));
        m_text3->setFocus();
        co_return;
    }
    // Unlike the parameter commands, a closed port is passed over in silence.
    if (!m_window.MSComm1().portOpen())
        co_return;
    const bool sent = co_await Commands::SendCommandLine(m_window, CommandLine::masterCode(code));
    if (!sent)
        co_return;
    Ui::form1& ui = m_window.ui();
    for (QWidget* control : { ui.upload, ui.download, ui.RtRTc, ui.date })
        control->setEnabled(true);
    if (fromButton)
        ui.upload->setFocus();
}
