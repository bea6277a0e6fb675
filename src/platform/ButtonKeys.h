#pragma once

#include <QObject>

class QWidget;

// Return and keypad Enter press the push button that has the focus, as Space does.
// Outside a dialog Qt's buttons ignore both keys; inside one a button that is not
// autoDefault passes them to the dialog's default button. Watching the application
// sees the key before any button of the window does, buttons made later too.
class ButtonKeys : public QObject
{
    Q_OBJECT

public:
    // Watches the keys that reach the window's push buttons; goes with the window.
    static void install(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit ButtonKeys(QWidget* window);

    QWidget* m_window;
};
