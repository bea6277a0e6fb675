#pragma once

#include <QLineEdit>

// Masked edit box over QLineEdit's input mask. In the mask "#" stands for one digit
// and every other character is a literal that shows and cannot be overtyped.
// A box that gets the focus, by Tab, by program or by a mouse click, starts typing
// at its first position; a click in a box that has the focus already places the
// caret where it lands, as usual, except right of the last digit position, where
// it goes to the first unfilled position.
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
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void keepCaretWhereDigitsGo();

    QString m_mask;
    QChar m_prompt = QLatin1Char(' ');
    // The press that brought the focus is still to come, or still held down.
    bool m_focusingPress = false;
    bool m_holdingFocusingPress = false;
};
