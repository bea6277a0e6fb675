#include "setform.h"

#include "ButtonKeys.h"
#include "Dialogs.h"
#include "LineText.h"
#include "SettingsStore.h"
#include "ui_setform.h"

#include <QLineEdit>

namespace {
const QStringList ByteCycles
    = { QStringLiteral("1"), QStringLiteral("3"), QStringLiteral("10"), QStringLiteral("15") };
} // namespace

setform::setform(SettingsStore& settings, Dialogs& dialogs, QWidget* parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::setform>())
    , m_settings(settings)
    , m_dialogs(dialogs)
{
    m_ui->setupUi(this);
    connect(m_ui->Command1, &QPushButton::clicked, this, &setform::Command1_Click);
    connect(m_ui->Command2, &QPushButton::clicked, this, &setform::Command2_Click);
    ButtonKeys::install(this);
    // The modem setting string goes to the modem as one line.
    LineText::install(m_ui->Text1);
    // Closing by the window frame counts as Cancel.
    connect(this, &QDialog::rejected, this, &setform::unload);
    Form_Load();
}

setform::~setform() = default;

Ui::setform& setform::ui()
{
    return *m_ui;
}

QString setform::modemSetting() const
{
    return m_ui->Text1->text();
}

QString setform::byteCycle() const
{
    return m_ui->Combo1->currentText();
}

void setform::Form_Load()
{
    m_ui->Combo1->addItems(ByteCycles);
    // "Managemant" is this dialog's own spelling of the title, kept as it is.
    m_dialogs.setApplicationTitle(QStringLiteral("Vestibar 4700 Managemant System"));
    const QString savea = m_settings.value(SettingsStore::Properties, QStringLiteral("savea"));
    const QString sett = m_settings.value(SettingsStore::Properties, QStringLiteral("sett"));
    m_ui->Text1->setText(sett);
    // The stored text stands even when it is empty or not one of the list.
    m_ui->Combo1->setCurrentIndex(-1);
    m_ui->Combo1->setEditText(savea);
    // Combo1 KeyPress discards every typed character: the byte cycle can only be
    // picked from the list.
    m_ui->Combo1->lineEdit()->setReadOnly(true);
}

void setform::Command1_Click()
{
    m_settings.setValue(SettingsStore::Properties, QStringLiteral("sett"), m_ui->Text1->text());
    // With an empty modem string the byte cycle is not saved.
    if (!m_ui->Text1->text().isEmpty())
        m_settings.setValue(SettingsStore::Properties, QStringLiteral("savea"), m_ui->Combo1->currentText());
    unload();
}

void setform::Command2_Click()
{
    unload();
}

void setform::unload()
{
    disconnect(this, &QDialog::rejected, this, &setform::unload);
    if (isVisible())
        done(QDialog::Accepted);
    emit unloaded();
}
