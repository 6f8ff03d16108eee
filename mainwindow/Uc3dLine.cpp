#include "mainwindow/Uc3dLine.h"

#include <QPainter>

namespace mainwindow {

Uc3dLine::Uc3dLine(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QSize Uc3dLine::sizeHint() const {
    return QSize(100, 2);
}

void Uc3dLine::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The lines follow the width, so the whole rule is drawn again.
    update();
}

void Uc3dLine::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawLine(lineTop());
    painter.setPen(palette().color(QPalette::Light));
    painter.drawLine(lineBottom());
}

} // namespace mainwindow
