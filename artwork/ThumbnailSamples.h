#pragma once

// The sample pictures of the folder thumbnail wizard: an album folder as a
// file browser shows it with the album's cover on it, drawn at the size of
// each view, so that the wizard needs no image files of its own.

#include <QPixmap>
#include <QString>

namespace artwork {

enum class SampleStyle { ClassicThumbnail, Tiles, MediumIcons, LargeIcons, ExtraLargeIcons };

// A folder of side pixels with a cover drawn on it.
QPixmap FolderThumbnailSample(SampleStyle style, int side);

} // namespace artwork
