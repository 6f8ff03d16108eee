#include "mainwindow/ToolbarIcons.h"

#include "mainwindow/CommandKeys.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace mainwindow {

namespace {

constexpr int IconSize = 32;

// A record sleeve: most buttons show one, with a sign of what they do on top.
void drawSleeve(QPainter& painter) {
    painter.setPen(QPen(QColor(0x1b, 0x24, 0x36), 1.5));
    painter.setBrush(QColor(0x2b, 0x3a, 0x55));
    painter.drawRoundedRect(QRectF(3, 5, 22, 22), 2, 2);
    painter.setBrush(QColor(0xe8, 0xb0, 0x4a));
    painter.drawEllipse(QPointF(14, 16), 4, 4);
}

void drawMagnifier(QPainter& painter) {
    painter.setPen(QPen(QColor(0x30, 0x30, 0x30), 3, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(QColor(255, 255, 255, 170));
    painter.drawEllipse(QPointF(21, 19), 6, 6);
    painter.drawLine(QPointF(25.5, 23.5), QPointF(30, 28));
}

void drawCheckMark(QPainter& painter) {
    painter.setPen(QPen(QColor(0x2e, 0x8b, 0x3a), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    QPainterPath path;
    path.moveTo(15, 20);
    path.lineTo(21, 27);
    path.lineTo(30, 11);
    painter.drawPath(path);
}

void drawArrowIn(QPainter& painter) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x2f, 0x6f, 0xc0));
    const QPointF arrow[] = {{18, 3}, {28, 3}, {28, 13}, {31, 13}, {23, 22}, {15, 13}, {18, 13}};
    painter.drawPolygon(arrow, 7);
}

void drawWand(QPainter& painter) {
    painter.setPen(QPen(QColor(0x5a, 0x4a, 0x32), 3, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(6, 28), QPointF(22, 12));
    painter.setPen(QPen(QColor(0xe8, 0xb0, 0x4a), 2, Qt::SolidLine, Qt::RoundCap));
    for (const auto& [from, to] :
         {std::pair{QPointF(26, 3), QPointF(26, 9)}, std::pair{QPointF(23, 6), QPointF(29, 6)},
          std::pair{QPointF(17, 4), QPointF(19, 6)}, std::pair{QPointF(29, 14), QPointF(31, 16)}})
        painter.drawLine(from, to);
}

void drawQuill(QPainter& painter) {
    QPainterPath feather;
    feather.moveTo(30, 2);
    feather.cubicTo(24, 4, 18, 10, 15, 19);
    feather.lineTo(16.5, 20);
    feather.cubicTo(21, 12, 26, 8, 30, 2);
    painter.setPen(QPen(QColor(0x8a, 0x7a, 0x5c), 1));
    painter.setBrush(QColor(0xf4, 0xef, 0xe4));
    painter.drawPath(feather);
}

QPixmap canvas() {
    QPixmap pixmap(IconSize, IconSize);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

} // namespace

QIcon ToolbarIcon(const QString& key) {
    QPixmap pixmap = canvas();
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    if (key == keys::Step1) {
        drawSleeve(painter);
        drawMagnifier(painter);
    } else if (key == keys::Step2) {
        drawSleeve(painter);
        drawCheckMark(painter);
    } else if (key == keys::Step3x) {
        drawSleeve(painter);
        drawArrowIn(painter);
    } else {
        drawSleeve(painter);
        drawWand(painter);
    }
    painter.end();
    return QIcon(pixmap);
}

QIcon ApplicationIcon() {
    QPixmap pixmap = canvas();
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    drawSleeve(painter);
    drawQuill(painter);
    painter.end();
    return QIcon(pixmap);
}

} // namespace mainwindow
