#pragma once

#include "Dialogs.h"

#include <memory>

// The real dialogs: QMessageBox, QFileDialog, QPrintDialog, QApplication::beep.
class QtDialogs : public Dialogs
{
public:
    QtDialogs();
    ~QtDialogs() override;

    std::optional<QString> openFile(const FileRequest& request) override;
    std::optional<QString> saveFile(const FileRequest& request) override;
    std::optional<QString> chooseFolder(const QString& title, const QString& start) override;
    std::optional<PrintRequest> print() override;
    void beep() override;

    // "desc|pattern|desc|pattern" to Qt's "desc (pattern);;..." list; patterns match
    // either case, as they do on Windows.
    static QStringList qtFilters(const QString& filter);

protected:
    Answer showMessage(const Message& message) override;

private:
    std::unique_ptr<QPrinter> m_printer;
};
