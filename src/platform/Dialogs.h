#pragma once

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class QPrinter;
class QWidget;

// The one seam for every modal dialog and the system beep. Subsystems call only
// this; the application installs QtDialogs, tests a scripted double that answers
// from a queue and fails on any dialog it did not expect.
class Dialogs
{
public:
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel, SaveDiscardCancel };
    enum class Icon { None, Information, Exclamation, Question, Critical };
    enum class Answer { Ok, Cancel, Yes, No, Retry, Save, Discard };

    struct Message
    {
        QString text;
        QString title; // empty: the current application title
        Buttons buttons = Buttons::Ok;
        Icon icon = Icon::None;
        std::optional<Answer> defaultButton; // empty: the first button
        // Shown below the text, apart from it (the system's reason for a failure):
        // the text itself stays the fixed one the operator knows.
        QString details;
    };

    struct FileRequest
    {
        QString title; // empty: the platform's default title
        QString filter; // "description|pattern|description|pattern..."
        int filterIndex = 1; // 1-based pair preselected
        QString fileName; // offered name (may hold a folder)
        // open: only an existing file is accepted; false: a new name is taken too (Qt's
        // own dialog where the desktop's open dialog accepts existing files only)
        bool mustExist = true;
        bool confirmOverwrite = true; // save: the dialog asks before choosing an existing file
    };

    struct PrintRequest
    {
        QPrinter* printer = nullptr; // owned by the Dialogs object, valid until the next print()
        int copies = 1; // copies the caller must print itself
    };

    virtual ~Dialogs() = default;

    // The title that messages without one of their own show.
    void setApplicationTitle(const QString& title) { m_applicationTitle = title; }
    QString applicationTitle() const { return m_applicationTitle; }

    // Shows a message box; resolves an empty title to applicationTitle() first.
    Answer message(Message message);
    // Shorthand for an OK box.
    void inform(const QString& text, const QString& title = {}, Icon icon = Icon::None);

    // Return the chosen path, or nothing when cancelled.
    virtual std::optional<QString> openFile(const FileRequest& request) = 0;
    virtual std::optional<QString> saveFile(const FileRequest& request) = 0;
    // An existing folder, starting in start; nothing when cancelled.
    virtual std::optional<QString> chooseFolder(const QString& title, const QString& start) = 0;
    // Nothing when cancelled.
    virtual std::optional<PrintRequest> print() = 0;
    virtual void beep() = 0;

    // The window that dialogs are parented to (may be null).
    void setParentWidget(QWidget* parent) { m_parent = parent; }
    QWidget* parentWidget() const { return m_parent; }

protected:
    virtual Answer showMessage(const Message& message) = 0;

private:
    QWidget* m_parent = nullptr;
    QString m_applicationTitle;
};
