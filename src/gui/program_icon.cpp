// SPDX-License-Identifier: MIT
#include "gui/program_icon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace glossek {

namespace {

// The drawing of data/glossek.svg, on its 64 by 64 grid.
QPixmap draw(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 64.0, size / 64.0);
    const QColor grey(0x33, 0x33, 0x33);
    const QColor blue(0x1d, 0x5f, 0xa8);

    painter.setPen(QPen(grey, 2));
    painter.setBrush(QColor(0xf4, 0xf4, 0xf4));
    painter.drawRoundedRect(QRectF(6, 4, 34, 44), 2, 2);
    painter.setPen(QPen(QColor(0x55, 0x55, 0x55), 3));
    painter.drawLine(QLineF(12, 14, 34, 14));
    painter.drawLine(QLineF(12, 22, 34, 22));
    painter.drawLine(QLineF(12, 30, 28, 30));

    painter.setPen(QPen(blue, 2));
    painter.setBrush(Qt::white);
    painter.drawRoundedRect(QRectF(24, 16, 34, 44), 2, 2);
    painter.setPen(QPen(blue, 3));
    painter.drawLine(QLineF(30, 28, 52, 28));
    painter.drawLine(QLineF(30, 36, 52, 36));
    painter.drawLine(QLineF(30, 44, 44, 44));

    QPainterPath arrow;
    arrow.moveTo(40, 6);
    arrow.lineTo(48, 12);
    arrow.lineTo(40, 18);
    arrow.closeSubpath();
    painter.fillPath(arrow, blue);
    return pixmap;
}

}  // namespace

QIcon program_icon() {
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        icon.addPixmap(draw(size));
    }
    return icon;
}

}  // namespace glossek
