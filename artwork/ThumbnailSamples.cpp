#include "artwork/ThumbnailSamples.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace artwork {

namespace {

// A cover that reads as a cover at any size: a sunset over the sea.
void drawCover(QPainter& painter, const QRectF& area) {
    QLinearGradient sky(area.topLeft(), area.bottomLeft());
    sky.setColorAt(0, QColor(0x2b, 0x1d, 0x4f));
    sky.setColorAt(0.55, QColor(0xe0, 0x6a, 0x3b));
    sky.setColorAt(1, QColor(0x1c, 0x3d, 0x5a));
    painter.fillRect(area, sky);
    const double sun = area.width() * 0.28;
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xff, 0xd5, 0x6b));
    painter.drawEllipse(QPointF(area.center().x(), area.top() + area.height() * 0.55), sun / 2,
                        sun / 2);
    painter.fillRect(
        QRectF(area.left(), area.top() + area.height() * 0.62, area.width(), area.height() * 0.38),
        QColor(0x1c, 0x3d, 0x5a));
    painter.setPen(QPen(QColor(255, 255, 255, 160), std::max(1.0, area.width() / 60)));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(area.adjusted(0.5, 0.5, -0.5, -0.5));
}

} // namespace

QPixmap FolderThumbnailSample(SampleStyle style, int side) {
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const double s = side;
    // The folder: a tab and a body in the manila colour of file browsers.
    QPainterPath folder;
    const double top = style == SampleStyle::ClassicThumbnail ? s * 0.08 : s * 0.16;
    folder.addRoundedRect(QRectF(s * 0.04, top, s * 0.42, s * 0.14), s * 0.03, s * 0.03);
    folder.addRoundedRect(QRectF(s * 0.04, top + s * 0.08, s * 0.92, s * 0.78 - top), s * 0.05,
                          s * 0.05);
    painter.setPen(QPen(QColor(0xb8, 0x8a, 0x2a), std::max(1.0, s / 64)));
    painter.setBrush(QColor(0xf2, 0xc9, 0x6b));
    painter.drawPath(folder.simplified());
    // The cover: on the folder's front, or standing in it as newer views show it.
    const QRectF cover = style == SampleStyle::ClassicThumbnail
                             ? QRectF(s * 0.2, top + s * 0.2, s * 0.6, s * 0.6)
                             : QRectF(s * 0.22, s * 0.04, s * 0.56, s * 0.56);
    drawCover(painter, cover);
    if (style != SampleStyle::ClassicThumbnail) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0xf7, 0xd8, 0x8c));
        painter.drawRoundedRect(QRectF(s * 0.04, s * 0.56, s * 0.92, s * 0.36), s * 0.05, s * 0.05);
    }
    if (style == SampleStyle::Tiles) {
        painter.setPen(QColor(0x55, 0x55, 0x55));
        painter.drawLine(QPointF(s * 0.2, s * 0.7), QPointF(s * 0.8, s * 0.7));
    }
    return pixmap;
}

} // namespace artwork
