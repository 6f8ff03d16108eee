#pragma once

// Measuring images for the size rules: width x height in pixels, read from
// the image's header only (a picture is never decoded just to learn its
// size). Anything that cannot be read, or that declares an absurd size (a
// damaged or hostile header), measures 0 and is never a candidate.

#include <QByteArray>
#include <QHash>
#include <QSize>
#include <QString>

#include <cstdint>

namespace artwork {

// Larger than any real cover; a header claiming more is corrupt or hostile.
inline constexpr int MaxImageSide = 32768;
inline constexpr qint64 MaxImagePixels = 100'000'000;

// The pixel size an image file declares; 0 x 0 when it cannot be read or
// declares an absurd size.
QSize ImageFileSize(const QString& path);
QSize ImageDataSize(const QByteArray& data);

// Width x height of a size that ImageFileSize accepted, else 0.
int32_t PixelArea(const QSize& size);

// GetFileXyprod: the pixel area of an image file, 0 for a missing or
// unreadable one.
int32_t GetFileXyprod(const QString& path);
// The pixel area of one of a song's own images, from its bytes.
int32_t GetArtworkXyprod(const QByteArray& data);

// Folder images measured once per run: the songs of an album share them.
// A file that changed (size or modification time) is measured again.
class ImageMeasureCache {
public:
    int32_t fileXyprod(const QString& path);
    int measurements() const { return m_measurements; }

private:
    struct Entry {
        qint64 size = -1;
        qint64 modified = 0;
        int32_t area = 0;
    };
    QHash<QString, Entry> m_entries;
    int m_measurements = 0;
};

} // namespace artwork
