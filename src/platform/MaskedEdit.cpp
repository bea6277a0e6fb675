#include "MaskedEdit.h"

#include "LineText.h"
#include "PlainEdit.h"

#include <QFocusEvent>
#include <QMouseEvent>

namespace {

bool isDigitPosition(const QString& mask, qsizetype position)
{
    return mask.at(position) == QLatin1Char('#');
}

// QLineEdit's mask language for "#" positions: an optional digit. Every other
// character of the mask is a literal, escaped where Qt would read it as a rule.
QString qtInputMask(const QString& mask, QChar prompt)
{
    static const QString rules = QStringLiteral("AaNnXx90Dd#HhBb><!\\[]{};");
    QString result;
    for (const QChar c : mask) {
        if (c == QLatin1Char('#'))
            result += QLatin1Char('9');
        else if (rules.contains(c))
            result += QLatin1Char('\\') + c;
        else
            result += c;
    }
    return result + QLatin1Char(';') + prompt;
}

} // namespace

MaskedEdit::MaskedEdit(QWidget* parent)
    : QLineEdit(parent)
{
    // The input mask's digit takes any script's digits; the rule keeps them out.
    LineText::install(this);
}

void MaskedEdit::setDigitMask(const QString& mask, QChar prompt)
{
    m_mask = mask;
    m_prompt = prompt;
    setInputMask(mask.isEmpty() ? QString() : qtInputMask(mask, prompt));
    clearPositions();
}

QString MaskedEdit::digitMask() const
{
    return m_mask;
}

QString MaskedEdit::digits() const
{
    if (m_mask.isEmpty())
        return text();
    const QString shown = displayText();
    QString result;
    for (qsizetype i = 0; i < m_mask.size() && i < shown.size(); ++i) {
        if (isDigitPosition(m_mask, i) && shown.at(i).isDigit())
            result += shown.at(i);
    }
    return result;
}

QString MaskedEdit::boxText() const
{
    if (m_mask.isEmpty())
        return text();
    // Qt shows every unfilled position as the prompt and keeps the literals.
    return displayText().leftJustified(m_mask.size(), m_prompt, true);
}

bool MaskedEdit::assign(const QString& text)
{
    if (m_mask.isEmpty()) {
        setText(text);
        return true;
    }
    // Lay the text over the positions first; the box changes only when all of it fits.
    QString laid(m_mask.size(), m_prompt);
    qsizetype position = 0;
    for (const QChar c : text) {
        const bool blank = c == QLatin1Char(' ') || c == m_prompt;
        // A literal the text leaves out is skipped, so "0530" fills "##:##"; a blank
        // stands for whatever is in its place.
        while (position < m_mask.size() && !isDigitPosition(m_mask, position) && m_mask.at(position) != c
            && !blank) {
            laid[position] = m_mask.at(position);
            ++position;
        }
        if (position >= m_mask.size())
            return false;
        if (!isDigitPosition(m_mask, position)) {
            laid[position] = m_mask.at(position);
            ++position;
            continue;
        }
        if (c.isDigit() && c.unicode() < 128)
            laid[position] = c;
        else if (!blank)
            return false;
        ++position;
    }
    for (; position < m_mask.size(); ++position) {
        if (!isDigitPosition(m_mask, position))
            laid[position] = m_mask.at(position);
    }

    clearPositions();
    for (qsizetype i = 0; i < laid.size(); ++i) {
        if (isDigitPosition(m_mask, i) && laid.at(i) != m_prompt) {
            // Position by position: Qt's own fitting would take a blank for the next literal.
            setSelection(int(i), 1);
            insert(laid.at(i));
        }
    }
    setCursorPosition(0);
    return true;
}

void MaskedEdit::clearPositions()
{
    // With a mask, an empty text leaves every position unfilled and keeps the literals.
    setText(QString());
    setCursorPosition(0);
}

void MaskedEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    // A click places the caret itself once the focus has come.
    const Qt::FocusReason reason = event->reason();
    if (PlainEdit::comesFromAnotherControl(reason) && reason != Qt::MouseFocusReason) {
        deselect();
        setCursorPosition(0);
    }
}

void MaskedEdit::mousePressEvent(QMouseEvent* event)
{
    QLineEdit::mousePressEvent(event);
    if (!hasSelectedText())
        keepCaretWithinTyped();
}

void MaskedEdit::keepCaretWithinTyped()
{
    // Past the typed digits a digit would land after a gap, or be refused right of
    // the last position, and nothing shows why: the caret goes back to the first
    // unfilled position instead.
    const QString shown = displayText();
    const auto filled = [&](qsizetype i) { return i < shown.size() && shown.at(i).isDigit(); };
    qsizetype typedEnd = 0;
    qsizetype firstUnfilled = -1;
    for (qsizetype i = 0; i < m_mask.size(); ++i) {
        if (!isDigitPosition(m_mask, i))
            continue;
        if (filled(i))
            typedEnd = i + 1;
        else if (firstUnfilled < 0)
            firstUnfilled = i;
    }
    if (firstUnfilled >= 0 && cursorPosition() > typedEnd)
        setCursorPosition(int(firstUnfilled));
}
