#pragma once

// Opening a music library: the engine's one entry point.

#include "musiclibrary/ITunes.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace musiclibrary {

struct LibraryOptions {
    LibraryOptions() = default;
    LibraryOptions(QString folder, RemovedLimits limits = {})
        : dataFolder(std::move(folder)), removed(limits) {}

    // Where the engine keeps its index, downloaded artwork and playlists.
    // Created when missing.
    QString dataFolder;
    // How long and how much of the removed artwork is kept.
    RemovedLimits removed;
    // Told what the user should know of an opening that went ahead anyway
    // (an index that had to be set aside, say).
    std::function<void(const QString&)> notify;
};

// Opens the library at path: a music folder (every audio file below it) or a
// library XML file in the property-list format that desktop players export.
// Throws LibraryError when the path is missing, unreadable, or neither a
// folder nor a readable library file.
ITunesPtr openLibrary(const QString& path, const LibraryOptions& options);

// Ends a series of writes (a run over many songs): the folders written in
// are flushed, so that every replaced file is durable under its name, and
// the rollback journals kept open for the series go. Writes never need it
// to be whole; it is done when a library closes as well.
void FinishWrites();

// Rolls back every write that was cut off (a crash, a kill), wherever its
// song is: the open journals are listed in the data folder. Returns a
// message for each that could not be undone yet; those are kept and tried
// again at the next start. openLibrary() does it as well.
QStringList RecoverInterruptedWrites();

} // namespace musiclibrary
