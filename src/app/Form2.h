#pragma once

// The generated form is complete here, so tests reach the controls through ui().
#include "ui_Form2.h"

#include <QWidget>

#include <memory>

// The splash window shown while the program starts. Nothing in it changes.
class Form2 : public QWidget
{
    Q_OBJECT

public:
    explicit Form2(QWidget* parent = nullptr);
    ~Form2() override;

    Ui::Form2& ui();

private:
    std::unique_ptr<Ui::Form2> m_ui;
};
