#pragma once

#include <QLineEdit>

// Masked edit box over QLineEdit's input mask. In the mask "#" stands for one digit
// and every other character is a literal that shows and cannot be overtyped.
// A box that gets the focus from another control by Tab, Enter or the program starts
// typing at its first position; coming back to the window or closing a menu leaves
// the caret where it was. A click places the caret where it lands, but never past
// what is typed: beyond the last typed digit it goes to the first unfilled position.
// Digit positions take ASCII digits only; a box without a mask takes the text of a
// line (see LineText).
class MaskedEdit : public QLineEdit
{
    Q_OBJECT
    Q_PROPERTY(QString digitMask READ digitMask WRITE setDigitMask)

public:
    explicit MaskedEdit(QWidget* parent = nullptr);

    // "###", "##:##", "# # # #"...; prompt is the character unfilled positions show.
    void setDigitMask(const QString& mask, QChar prompt = QLatin1Char(' '));
    QString digitMask() const;

    // The digits typed: no literals, no unfilled positions ("" when none).
    QString digits() const;
    // The full display: literals kept, unfilled positions shown as the prompt.
    QString boxText() const;
    // Assigns through the mask: the characters fill the positions in order, a
    // literal of the mask in the text is taken as that literal, a blank or the
    // prompt leaves a position unfilled. Returns false and leaves the box unchanged
    // when the mask rejects the text (a letter in a digit position, too long).
    bool assign(const QString& text);
    // Empties every position.
    void clearPositions();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void keepCaretWithinTyped();

    QString m_mask;
    QChar m_prompt = QLatin1Char(' ');
};
