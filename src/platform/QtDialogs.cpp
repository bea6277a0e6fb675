#include "QtDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

namespace {

QMessageBox::StandardButton standardButton(Dialogs::Answer answer)
{
    switch (answer) {
    case Dialogs::Answer::Ok:
        return QMessageBox::Ok;
    case Dialogs::Answer::Cancel:
        return QMessageBox::Cancel;
    case Dialogs::Answer::Yes:
        return QMessageBox::Yes;
    case Dialogs::Answer::No:
        return QMessageBox::No;
    case Dialogs::Answer::Retry:
        return QMessageBox::Retry;
    case Dialogs::Answer::Save:
        return QMessageBox::Save;
    case Dialogs::Answer::Discard:
        return QMessageBox::Discard;
    }
    return QMessageBox::Ok;
}

QList<Dialogs::Answer> answersOf(Dialogs::Buttons buttons)
{
    using A = Dialogs::Answer;
    switch (buttons) {
    case Dialogs::Buttons::Ok:
        return { A::Ok };
    case Dialogs::Buttons::OkCancel:
        return { A::Ok, A::Cancel };
    case Dialogs::Buttons::YesNo:
        return { A::Yes, A::No };
    case Dialogs::Buttons::YesNoCancel:
        return { A::Yes, A::No, A::Cancel };
    case Dialogs::Buttons::RetryCancel:
        return { A::Retry, A::Cancel };
    case Dialogs::Buttons::SaveDiscardCancel:
        return { A::Save, A::Discard, A::Cancel };
    }
    return { A::Ok };
}

QMessageBox::Icon messageIcon(Dialogs::Icon icon)
{
    switch (icon) {
    case Dialogs::Icon::None:
        return QMessageBox::NoIcon;
    case Dialogs::Icon::Information:
        return QMessageBox::Information;
    case Dialogs::Icon::Exclamation:
        return QMessageBox::Warning;
    case Dialogs::Icon::Question:
        return QMessageBox::Question;
    case Dialogs::Icon::Critical:
        return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

// One pattern of the stored filter in Qt's form. Windows matches names without
// regard to case; elsewhere every letter becomes a one-letter set of both cases.
QString qtPattern(QString pattern)
{
    pattern = pattern.trimmed();
    if (pattern == QLatin1String("*.*"))
        return QStringLiteral("*");
#ifdef Q_OS_WIN
    return pattern;
#else
    QString result;
    for (const QChar c : pattern) {
        if (c.isLetter() && c.toLower() != c.toUpper())
            result += QLatin1Char('[') + c.toUpper() + c.toLower() + QLatin1Char(']');
        else
            result += c;
    }
    return result;
#endif
}

std::optional<QString> runFileDialog(
    QWidget* parent, const Dialogs::FileRequest& request, QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(parent, request.title);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen && request.mustExist ? QFileDialog::ExistingFile
                                                                            : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    // The description already shows the patterns as the operator knows them.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
#ifndef Q_OS_WIN
    // An open dialog that takes a new name (a log file to be created): the desktop's
    // own open dialogs (GTK, KDE's, the portal) accept existing files only, so these
    // use Qt's dialog. Windows' open dialog takes a new name as it is.
    if (mode == QFileDialog::AcceptOpen && !request.mustExist)
        dialog.setOption(QFileDialog::DontUseNativeDialog);
#endif
    const QStringList filters = QtDialogs::qtFilters(request.filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        const int index = request.filterIndex - 1;
        dialog.selectNameFilter(filters.value(index >= 0 && index < filters.size() ? index : 0));
    }
    if (!request.fileName.isEmpty()) {
        const QFileInfo offered(request.fileName);
        if (offered.isDir()) {
            dialog.setDirectory(offered.absoluteFilePath());
        } else {
            if (offered.dir().exists() && request.fileName.contains(QLatin1Char('/')))
                dialog.setDirectory(offered.absolutePath());
            dialog.selectFile(offered.fileName());
        }
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

} // namespace

QtDialogs::QtDialogs() = default;
QtDialogs::~QtDialogs() = default;

QStringList QtDialogs::qtFilters(const QString& filter)
{
    QStringList result;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& pattern : parts.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts))
            patterns << qtPattern(pattern);
        result << parts.at(i).trimmed() + QStringLiteral(" (") + patterns.join(QLatin1Char(' '))
                + QLatin1Char(')');
    }
    return result;
}

Dialogs::Answer QtDialogs::showMessage(const Message& message)
{
    QMessageBox box(
        messageIcon(message.icon), message.title, message.text, QMessageBox::NoButton, parentWidget());
    if (!message.details.isEmpty())
        box.setInformativeText(message.details);
    const QList<Answer> answers = answersOf(message.buttons);
    for (const Answer answer : answers)
        box.addButton(standardButton(answer));
    const Answer preferred = message.defaultButton && answers.contains(*message.defaultButton)
        ? *message.defaultButton
        : answers.constFirst();
    box.setDefaultButton(standardButton(preferred));
    // Escape and the close button: Cancel where there is one, else the only button.
    if (answers.contains(Answer::Cancel))
        box.setEscapeButton(standardButton(Answer::Cancel));
    else if (answers.size() == 1)
        box.setEscapeButton(standardButton(answers.constFirst()));
    box.exec();
    const auto clicked = box.standardButton(box.clickedButton());
    for (const Answer answer : answers) {
        if (standardButton(answer) == clicked)
            return answer;
    }
    return answers.contains(Answer::Cancel) ? Answer::Cancel : answers.constLast();
}

std::optional<QString> QtDialogs::openFile(const FileRequest& request)
{
    return runFileDialog(parentWidget(), request, QFileDialog::AcceptOpen);
}

std::optional<QString> QtDialogs::saveFile(const FileRequest& request)
{
    return runFileDialog(parentWidget(), request, QFileDialog::AcceptSave);
}

std::optional<QString> QtDialogs::chooseFolder(const QString& title, const QString& start)
{
    const QString folder = QFileDialog::getExistingDirectory(parentWidget(), title, start);
    if (folder.isEmpty())
        return std::nullopt;
    return folder;
}

std::optional<Dialogs::PrintRequest> QtDialogs::print()
{
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    m_printer->setCopyCount(1);
    QPrintDialog dialog(m_printer.get(), parentWidget());
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    // The caller prints each copy itself, so the printer must not repeat them.
    const int copies = std::max(1, m_printer->copyCount());
    m_printer->setCopyCount(1);
    return PrintRequest { m_printer.get(), copies };
}

void QtDialogs::beep()
{
    QApplication::beep();
}
