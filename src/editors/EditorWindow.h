#pragma once

// The generated form is complete here, so tests reach the frame through ui().
#include "ui_EditorWindow.h"

#include <QDialog>
#include <QList>

#include <memory>

class Dialogs;
class MaskedEdit;
struct EditorKind;

// The frame that the five database editors share: the input boxes of its kind in
// a column, Enter and Quit under them, Save, Save As and Print at the right, and
// the File Content box below holding the whole file, lines ended by CR LF.
class EditorWindow : public QDialog
{
    Q_OBJECT

public:
    EditorWindow(const EditorKind& kind, Dialogs& dialogs, QWidget* parent = nullptr);
    ~EditorWindow() override;

    Ui::EditorWindow& ui();
    const EditorKind& kind() const;

    // The Load: the File Content becomes the named file's lines, leading blanks
    // dropped. A missing or unreadable file (or no name) leaves the editor empty.
    void loadFile(const QString& fileName);

    // The File Content text, every line ended by CR LF.
    QString content() const;
    void setContent(const QString& content);

    // The input boxes in Enter order.
    const QList<MaskedEdit*>& boxes() const;

    // Quit, the close box and Esc: records not saved yet are offered for saving
    // first, and Cancel keeps the window open.
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildBoxes();
    void Enter_Click();
    void Save_Click();
    void SaveAs_Click();
    void Print_Click();
    void Quit_Click();
    // True when the text is in the file.
    bool saveContent(bool askName, const QString& dialogTitle);
    bool holdsUnsavedRecords() const;
    void clearBoxes();

    std::unique_ptr<Ui::EditorWindow> m_ui;
    const EditorKind& m_kind;
    Dialogs& m_dialogs;
    QList<MaskedEdit*> m_boxes;
    QString m_fileName;
    // The text as last loaded or saved.
    QString m_savedContent;
};
