#pragma once

#include <QObject>

class QLineEdit;

// The focus and caret rules of a text box, for plain QLineEdit boxes (MaskedEdit
// keeps the same rules itself). Focus that comes from another control of the window
// by Tab, Backtab, an access key or the program starts at the first position with
// nothing selected; a click puts the caret where it lands, and QLineEdit never puts
// it past the text. Coming back to the window or closing a menu leaves the caret
// where the operator left it.
class PlainEdit : public QObject
{
    Q_OBJECT

public:
    static void install(QLineEdit* box);

    // True for focus that moves from another control of the same window.
    static bool comesFromAnotherControl(Qt::FocusReason reason);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using QObject::QObject;
};
