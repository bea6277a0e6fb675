#include "ProductPicture.h"

#include <QPainter>
#include <QPainterPath>

ProductPicture::ProductPicture(QWidget* parent)
    : QWidget(parent)
{
    setMinimumSize(96, 128);
}

QSize ProductPicture::sizeHint() const
{
    return { 120, 160 };
}

void ProductPicture::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);

    // Work in a 120 x 160 design space, centred and scaled to the widget.
    const qreal scale = qMin(width() / 120.0, height() / 160.0);
    painter.translate((width() - 120 * scale) / 2, (height() - 160 * scale) / 2);
    painter.scale(scale, scale);

    // Wall and door frame.
    painter.fillRect(QRectF(0, 0, 120, 160), QColor(0xe8, 0xe4, 0xdc));
    painter.setPen(QPen(QColor(0x5a, 0x4a, 0x3a), 2));
    painter.setBrush(QColor(0x8b, 0x5e, 0x3c));
    painter.drawRect(QRectF(8, 20, 56, 136));
    painter.setBrush(QColor(0xd6, 0xb0, 0x40));
    painter.drawEllipse(QPointF(56, 92), 3, 3);

    // The entry panel: a housing with a display, a keypad and a speaker grille.
    painter.setPen(QPen(QColor(0x30, 0x30, 0x38), 1.5));
    QPainterPath housing;
    housing.addRoundedRect(QRectF(74, 40, 40, 76), 5, 5);
    painter.fillPath(housing, QColor(0x9a, 0xa3, 0xad));
    painter.drawPath(housing);
    painter.fillRect(QRectF(79, 46, 30, 12), QColor(0x1f, 0x6f, 0x3f));
    painter.setPen(QPen(QColor(0xc8, 0xff, 0xc8), 1));
    painter.drawLine(QPointF(82, 52), QPointF(100, 52));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x3a, 0x3f, 0x46));
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 3; ++column)
            painter.drawRoundedRect(QRectF(80 + column * 10, 63 + row * 9, 7, 6), 1.5, 1.5);
    painter.setPen(QPen(QColor(0x3a, 0x3f, 0x46), 1));
    for (int line = 0; line < 3; ++line)
        painter.drawLine(QPointF(84, 104 + line * 3), QPointF(104, 104 + line * 3));

    // Card reader below the panel.
    painter.setBrush(QColor(0x30, 0x30, 0x38));
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(QRectF(82, 124, 24, 14), 3, 3);
    painter.setBrush(QColor(0xe0, 0x40, 0x30));
    painter.drawEllipse(QPointF(100, 131), 2, 2);
}
