#pragma once

// Reading an image file for the details panel's picture box. The files come
// from anywhere (song folders, pictures taken out of song files), so the
// header is read first and an image that claims absurd dimensions is never
// decoded; a picture larger than the box is decoded at the box's size where
// the format allows it.

#include <QImage>
#include <QSize>
#include <QString>

namespace mainwindow {

// Larger images are described by their header but not decoded.
inline constexpr int MaxDecodedSide = 16384;
inline constexpr qint64 MaxDecodedPixels = 100'000'000;

struct ImagePreview {
    // The picture scaled to fit the box; null when it could not be decoded.
    QImage image;
    // The dimensions the file's header gives; invalid when it has none.
    QSize imageSize;
    bool loaded() const { return !image.isNull(); }
};

// size scaled down to fit within box keeping its aspect ratio (never below
// one pixel a side); a size that fits is kept.
QSize FitWithin(const QSize& size, const QSize& box);

// Whether an image of these dimensions may be decoded.
bool DecodableSize(const QSize& size);

ImagePreview ReadImagePreview(const QString& path, const QSize& box);

} // namespace mainwindow
