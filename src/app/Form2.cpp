#include "Form2.h"

#include "ui_Form2.h"

Form2::Form2(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen)
    , m_ui(std::make_unique<Ui::Form2>())
{
    m_ui->setupUi(this);
}

Form2::~Form2() = default;

Ui::Form2& Form2::ui()
{
    return *m_ui;
}
