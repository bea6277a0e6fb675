#include "LineText.h"

#include <QLineEdit>

LineText::LineText(Range range, const QValidator* inner, QObject* parent)
    : QValidator(parent)
    , m_range(range)
    , m_inner(inner)
{
}

void LineText::install(QLineEdit* box, Range range)
{
    const QValidator* inner = box->validator();
    if (qobject_cast<const LineText*>(inner))
        return;
    box->setValidator(new LineText(range, inner, box));
}

bool LineText::takes(QChar c, Range range)
{
    // Line and paragraph separators end a line as surely as LF does.
    if (c.category() == QChar::Other_Control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
        return false;
    return range == Range::Unicode || c.unicode() <= 0xFF;
}

QValidator::State LineText::validate(QString& text, int& position) const
{
    for (const QChar c : std::as_const(text)) {
        if (!takes(c, m_range))
            return Invalid;
    }
    return m_inner ? m_inner->validate(text, position) : Acceptable;
}

void LineText::fixup(QString& text) const
{
    if (m_inner)
        m_inner->fixup(text);
}
