#pragma once

#include <QWidget>

// The picture of the splash and about windows: a door-entry panel at a building
// entrance, drawn rather than stored, so it scales with the window.
class ProductPicture : public QWidget
{
    Q_OBJECT

public:
    explicit ProductPicture(QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};
