#pragma once

// Opening a music library: the engine's one entry point.

#include "musiclibrary/ITunes.h"

#include <QString>

namespace musiclibrary {

struct LibraryOptions {
    // Where the engine keeps its index, downloaded artwork and playlists.
    // Created when missing.
    QString dataFolder;
};

// Opens the library at path: a music folder (every audio file below it) or a
// library XML file in the property-list format that desktop players export.
// Throws LibraryError when the path is missing, unreadable, or neither a
// folder nor a readable library file.
ITunesPtr openLibrary(const QString& path, const LibraryOptions& options);

} // namespace musiclibrary
