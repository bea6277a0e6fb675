#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class Form3;
}

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
