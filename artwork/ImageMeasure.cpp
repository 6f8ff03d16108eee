#include "artwork/ImageMeasure.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageReader>

namespace artwork {

namespace {

QSize checked(const QSize& size) {
    if (!size.isValid() || size.width() < 1 || size.height() < 1 || size.width() > MaxImageSide ||
        size.height() > MaxImageSide ||
        qint64(size.width()) * qint64(size.height()) > MaxImagePixels)
        return {0, 0};
    return size;
}

} // namespace

QSize ImageFileSize(const QString& path) {
    const QFileInfo info(path);
    if (path.trimmed().isEmpty() || !info.isFile())
        return {0, 0};
    QImageReader reader(path);
    return checked(reader.size());
}

QSize ImageDataSize(const QByteArray& data) {
    if (data.isEmpty())
        return {0, 0};
    QByteArray copy = data; // QBuffer wants a modifiable array; the copy is shared, not made
    QBuffer buffer(&copy);
    if (!buffer.open(QIODevice::ReadOnly))
        return {0, 0};
    QImageReader reader(&buffer);
    return checked(reader.size());
}

int32_t PixelArea(const QSize& size) {
    const QSize valid = checked(size);
    return int32_t(qint64(valid.width()) * qint64(valid.height()));
}

int32_t GetFileXyprod(const QString& path) {
    return PixelArea(ImageFileSize(path.trimmed()));
}

int32_t GetArtworkXyprod(const QByteArray& data) {
    return PixelArea(ImageDataSize(data));
}

int32_t ImageMeasureCache::fileXyprod(const QString& path) {
    const QFileInfo info(path);
    if (!info.isFile())
        return 0;
    const qint64 size = info.size();
    const qint64 modified = info.lastModified().toMSecsSinceEpoch();
    auto found = m_entries.find(path);
    if (found != m_entries.end() && found->size == size && found->modified == modified)
        return found->area;
    ++m_measurements;
    const int32_t area = GetFileXyprod(path);
    m_entries.insert(path, {size, modified, area});
    return area;
}

} // namespace artwork
