#include "app/cli/ImageSize.h"

#include <QImageReader>

namespace cli {

namespace {

// Larger than any real cover; a header claiming more is corrupt or hostile.
constexpr int maxSide = 32768;

} // namespace

QSize imageFileSize(const QString& path) {
    QImageReader reader(path);
    const QSize size = reader.size();
    if (!size.isValid() || size.width() < 1 || size.height() < 1 || size.width() > maxSide ||
        size.height() > maxSide)
        return {0, 0};
    return size;
}

} // namespace cli
