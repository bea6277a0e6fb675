#pragma once

#include "Dialogs.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

#include <memory>
#include <optional>

// The dialogs of a test: every dialog the code opens must have been announced, in
// order, with the answer to give. Anything else is recorded as a failure (and
// answered Cancel/No/nothing) so the test can report it.
class ScriptedDialogs : public Dialogs
{
public:
    ScriptedDialogs();
    ~ScriptedDialogs() override;

    // A message box with this text and title (title after resolution of an empty
    // one to the application title). buttons, icon and default are checked when given.
    void expectMessage(const QString& text, const QString& title, Answer answer = Answer::Ok,
        std::optional<Buttons> buttons = {}, std::optional<Icon> icon = {},
        std::optional<Answer> defaultButton = {});
    // Runs while the last announced dialog is up, before its answer is given (the far
    // end sends something, another click comes).
    void whileShown(std::function<void()> action);
    // An open or save dialog; the title is checked when not empty. Nothing = Cancel.
    void expectOpenFile(std::optional<QString> path, const QString& title = {});
    void expectSaveFile(std::optional<QString> path, const QString& title = {});
    // A folder dialog; the title is checked when not empty. Nothing = Cancel.
    void expectFolder(std::optional<QString> path, const QString& title = {});
    // A print dialog answered with a PDF printer writing to pdfPath; nothing = Cancel.
    void expectPrint(std::optional<QString> pdfPath, int copies = 1);

    // True when every announced dialog was shown and nothing unexpected was.
    bool done() const;
    // What went wrong, for QVERIFY2(dialogs.done(), qPrintable(dialogs.report())).
    QString report() const;

    // Everything shown, in order.
    const QList<Message>& messages() const { return m_messages; }
    const QList<FileRequest>& fileRequests() const { return m_fileRequests; }
    int beeps() const { return m_beeps; }

    std::optional<QString> openFile(const FileRequest& request) override
    {
        return answerFileDialog(false, request);
    }
    std::optional<QString> saveFile(const FileRequest& request) override
    {
        return answerFileDialog(true, request);
    }
    std::optional<QString> chooseFolder(const QString& title, const QString& start) override;
    std::optional<PrintRequest> print() override;
    void beep() override { ++m_beeps; }

protected:
    Answer showMessage(const Message& message) override;

private:
    struct Step;
    std::optional<QString> answerFileDialog(bool save, const FileRequest& request);
    Step& add(int kind, const QString& title = {}, std::optional<QString> path = {});
    // "title" when the next step names another title.
    QStringList wrongTitle(const QString& title) const;
    std::unique_ptr<Step> take(int kind, const QString& shown, QStringList wrong);
    QList<Step*> m_steps;
    QList<Message> m_messages;
    QList<FileRequest> m_fileRequests;
    QStringList m_failures;
    int m_beeps = 0;
    std::unique_ptr<QPrinter> m_printer;
};
