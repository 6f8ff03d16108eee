#include "mainwindow/ImagePreview.h"

#include <QImageReader>

namespace mainwindow {

QSize FitWithin(const QSize& size, const QSize& box) {
    if (size.isEmpty() || box.isEmpty())
        return {};
    if (size.width() <= box.width() && size.height() <= box.height())
        return size;
    QSize fitted = size.scaled(box, Qt::KeepAspectRatio);
    return fitted.expandedTo(QSize(1, 1));
}

bool DecodableSize(const QSize& size) {
    return !size.isEmpty() && size.width() <= MaxDecodedSide && size.height() <= MaxDecodedSide &&
           qint64(size.width()) * size.height() <= MaxDecodedPixels;
}

ImagePreview ReadImagePreview(const QString& path, const QSize& box) {
    ImagePreview preview;
    QImageReader reader(path);
    // Temporary copies and backup files carry no telling extension, and a
    // picture saved under the wrong one is common.
    reader.setDecideFormatFromContent(true);
    preview.imageSize = reader.size();
    if (!DecodableSize(preview.imageSize))
        return preview;
    const QSize fitted = FitWithin(preview.imageSize, box);
    if (fitted != preview.imageSize)
        reader.setScaledSize(fitted);
    QImage image = reader.read();
    if (image.isNull())
        return preview;
    // Not every format honours the scaled size.
    if (image.width() > box.width() || image.height() > box.height())
        image = image.scaled(FitWithin(image.size(), box), Qt::KeepAspectRatio,
                             Qt::SmoothTransformation);
    preview.image = std::move(image);
    return preview;
}

} // namespace mainwindow
