#pragma once

// The generated form is complete here, so tests reach the controls through ui().
#include "ui_Form3.h"

#include <QDialog>

#include <memory>

// The about window: the product's name and the maker's details; OK unloads it.
class Form3 : public QDialog
{
    Q_OBJECT

public:
    explicit Form3(QWidget* parent = nullptr);
    ~Form3() override;

    Ui::Form3& ui();

private:
    void Command1_Click();

    std::unique_ptr<Ui::Form3> m_ui;
};
