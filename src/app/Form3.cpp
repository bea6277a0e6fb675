#include "Form3.h"

#include "ui_Form3.h"

Form3::Form3(QWidget* parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::Form3>())
{
    m_ui->setupUi(this);
    connect(m_ui->Command1, &QPushButton::clicked, this, &Form3::Command1_Click);
}

Form3::~Form3() = default;

Ui::Form3& Form3::ui()
{
    return *m_ui;
}

void Form3::Command1_Click()
{
    accept();
}
