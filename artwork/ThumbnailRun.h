#pragma once

// Folder thumbnails: one of each checked song's own images written into its
// album folder under a chosen name (Folder.JPG by default).

#include "artwork/ArtworkRun.h"

#include <QString>

#include <cstdint>

namespace artwork {

struct ThumbnailParameters {
    QString BaseExt = QStringLiteral("Folder.JPG");
    bool HiddenSystem = true;
    bool DeleteExisting = false;
    // Which image of a song with several: 1 first, 2 last, 3 smallest and
    // 4 largest (by pixel area), 5 closest to TargetPixels.
    int32_t ThumbnailMultipleImages = 5;
    int16_t TargetPixels = 256;
};

enum ThumbnailChoice : int32_t {
    ThumbnailFirst = 1,
    ThumbnailLast,
    ThumbnailSmallest,
    ThumbnailLargest,
    ThumbnailClosest,
};

struct ThumbnailCounts {
    int total = 0;  // files written, every write counted
    int unique = 0; // files that did not exist before the run and do now
};

// The song's folder (with its "/") followed by baseExt; empty when the
// location, the folder or baseExt is empty.
QString ThumbnailTargetPath(const QString& location, const QString& baseExt);

// A name that can be created: trimmed and not empty, without \ / : * ? < > | ".
bool IsValidFileName(const QString& name);

// "Done creating <BaseExt> files." with the totals and, when files were
// overwritten within the run, the unique count and its note.
QString ThumbnailDoneText(const QString& baseExt, const ThumbnailCounts& counts);

ThumbnailCounts CreateFolderThumbnails(ArtworkRunContext& context,
                                       const ThumbnailParameters& parameters);

} // namespace artwork
