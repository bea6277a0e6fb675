#pragma once

#include <QObject>

class QWidget;

// Return and keypad Enter press the push button that has the focus, as Space does.
// Outside a dialog Qt's buttons ignore both keys; inside one a button that is not
// autoDefault passes them to the dialog's default button.
class ButtonKeys : public QObject
{
    Q_OBJECT

public:
    // Watches every push button of the window as it stands.
    static void install(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using QObject::QObject;
};
