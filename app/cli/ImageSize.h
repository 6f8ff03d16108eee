#pragma once

#include <QSize>
#include <QString>

namespace cli {

// The pixel size an image file declares, read from its header only; an empty
// size (0 x 0) when it cannot be decoded or declares an absurd size.
QSize imageFileSize(const QString& path);

} // namespace cli
