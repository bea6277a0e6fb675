#include "ParameterFileMenus.h"

#include "Dialogs.h"
#include "FormControls.h"
#include "LineReader.h"
#include "MaskedEdit.h"
#include "ParameterFile.h"
#include "ReplaceQuestion.h"
#include "TextFiles.h"
#include "TypedText.h"
#include "form1.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QStringList>

namespace {

using ParameterFile::Field;

// The box behind each field of the file.
struct FieldBox
{
    Field field;
    FormControls::Box box;
};
const FieldBox FieldBoxes[] = {
    { Field::Text2, FormControls::box<&Ui::form1::Text2> },
    { Field::Text3, FormControls::box<&Ui::form1::Text3> },
    { Field::Crno, FormControls::box<&Ui::form1::Crno> },
    { Field::medit1, FormControls::box<&Ui::form1::medit1> },
    { Field::medit2, FormControls::box<&Ui::form1::medit2> },
    { Field::medit3, FormControls::box<&Ui::form1::medit3> },
    { Field::medit4, FormControls::box<&Ui::form1::medit4> },
    { Field::medit5, FormControls::box<&Ui::form1::medit5> },
    { Field::rl2, FormControls::box<&Ui::form1::rl2> },
    { Field::MsgWel, FormControls::box<&Ui::form1::MsgWel> },
};

QLineEdit* boxOf(form1& window, Field field)
{
    for (const FieldBox& entry : FieldBoxes) {
        if (entry.field == field)
            return entry.box(window.ui());
    }
    return nullptr;
}

// Sets a box as typing would; false when a masked box's mask rejects the value.
bool setBox(QLineEdit* box, const QString& value)
{
    if (auto* masked = qobject_cast<MaskedEdit*>(box))
        return masked->assign(value);
    box->setText(value);
    return true;
}

// The message after a load that left lines out: the first few, and how many more.
QString refusedText(const QString& path, const QStringList& refused)
{
    constexpr qsizetype Listed = 10;
    QString text
        = QStringLiteral("Not every line of the file %1 was loaded:").arg(QDir::toNativeSeparators(path));
    for (qsizetype i = 0; i < refused.size() && i < Listed; ++i)
        text += QLatin1Char('\n') + refused.at(i);
    if (refused.size() > Listed)
        text += QStringLiteral("\n... and %1 more.").arg(refused.size() - Listed);
    return text;
}

} // namespace

ParameterFileMenus::ParameterFileMenus(form1& window)
    : QObject(&window)
    , m_window(window)
{
    setObjectName(QStringLiteral("ParameterFileMenus"));
    connect(m_window.ui().savemenu, &QAction::triggered, this, &ParameterFileMenus::savemenu_Click);
    connect(m_window.ui().openpar, &QAction::triggered, this, &ParameterFileMenus::openpar_Click);
}

void ParameterFileMenus::savemenu_Click()
{
    Ui::form1& ui = m_window.ui();
    Dialogs& dialogs = m_window.dialogs();
    Dialogs::FileRequest request;
    request.filter = QStringLiteral("Parameter Files (*.par)|*.par");
    // The replace question below is the only one.
    request.confirmOverwrite = false;

    ui.Text3->setFocus();

    QString path;
    for (;;) {
        request.fileName.clear();
        const std::optional<QString> chosen = dialogs.saveFile(request);
        if (!chosen)
            return;
        path = *chosen;
        if (!QFileInfo::exists(path))
            break;
        const Dialogs::Answer answer = ReplaceQuestion::ask(dialogs, path);
        if (answer == Dialogs::Answer::Yes)
            break;
        // No keeps the existing file as it is and ends the save.
        if (answer == Dialogs::Answer::No)
            return;
    }

    ParameterFile::Values values;
    for (const FieldBox& entry : FieldBoxes) {
        if (QLineEdit* box = boxOf(m_window, entry.field))
            values.insert(entry.field, FormControls::valueOf(box));
    }

    // Replaced only once the new content is complete, so a failed save keeps the old file.
    const TextFiles::Result saved
        = TextFiles::save(path, TextFiles::toFileBytes(ParameterFile::write(values)));
    if (!saved.ok)
        dialogs.inform(saved.error, {}, Dialogs::Icon::Exclamation);
}

void ParameterFileMenus::openpar_Click()
{
    Dialogs::FileRequest request;
    request.filter = QStringLiteral("PAR Files (*.par)|*.par");
    request.filterIndex = 1;
    const std::optional<QString> chosen = m_window.dialogs().openFile(request);
    if (!chosen)
        return;

    const QString& path = *chosen;
    if (const QString reason = TextFiles::notAFileReason(path); !reason.isEmpty()) {
        TextFiles::reportReadFailure(m_window.dialogs(), path, reason);
        return;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        TextFiles::reportReadFailure(m_window.dialogs(), path, file.errorString());
        return;
    }
    LineReader reader(file);
    QStringList refused;
    bool utf8 = false;
    QString line;
    while (reader.next(line)) {
        if (reader.tooLong()) {
            refused << TextFiles::longLineReason(reader.lineNumber());
            continue;
        }
        if (reader.lineNumber() == 1)
            utf8 = ParameterFile::startsWithByteOrderMark(line);
        if (utf8)
            line = ParameterFile::fromUtf8Line(line);
        const std::optional<ParameterFile::Entry> entry = ParameterFile::readLine(line);
        if (!entry)
            continue;
        // A value the box's mask refuses is told after the load; the other lines still load.
        QLineEdit* box = boxOf(m_window, entry->field);
        if (!box || !setBox(box, entry->value))
            refused << QStringLiteral("Line %1 (%2): the box does not take the value.")
                           .arg(QString::number(reader.lineNumber()), TypedText::trimBlanks(line));
    }
    if (file.error() != QFileDevice::NoError)
        refused << file.errorString();
    if (!refused.isEmpty())
        m_window.dialogs().inform(refusedText(path, refused),
            QString::fromLatin1(TextFiles::ReadFailureTitle), Dialogs::Icon::Exclamation);
}
