#pragma once

#include <QPointer>
#include <QValidator>

class QLineEdit;

// What a value box takes. Its text goes to the controller as one line, or into a
// single-byte file: a control character (CR, LF, NUL, TAB...) would split or corrupt
// that line, and a character outside Latin-1 would go out as "?". Such text is
// refused whole as it is typed or pasted; whatever rule the box had stays in force.
class LineText : public QValidator
{
    Q_OBJECT

public:
    enum class Range {
        Latin1, // values for the controller and the database files
        Unicode, // names the computer uses (device paths): control characters only
    };

    // Puts the rule in front of the box's own validator, if any. Installing twice
    // changes nothing.
    static void install(QLineEdit* box, Range range = Range::Latin1);
    static bool takes(QChar c, Range range);

    State validate(QString& text, int& position) const override;
    void fixup(QString& text) const override;

private:
    LineText(Range range, const QValidator* inner, QObject* parent);

    Range m_range;
    QPointer<const QValidator> m_inner;
};
