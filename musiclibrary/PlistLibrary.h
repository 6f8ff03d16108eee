#pragma once

// Reading the library file that desktop players export in the property-list
// format ("iTunes Music Library.xml", "iTunes Library.xml"). Only what the
// engine uses is kept; everything else is skipped without being built.

#include <QList>
#include <QString>
#include <QStringList>

namespace musiclibrary {

struct PlistTrack {
    QString trackId; // the key of the track in the "Tracks" dictionary
    QString name;
    QString artist;
    QString album;
    QString kind;
    QString location; // as written: a URL, usually file://
    int trackNumber = 0;
    quint64 persistentId = 0;
    bool hasPersistentId = false;
};

struct PlistPlaylist {
    QString name;
    QStringList trackIds;
};

struct PlistLibrary {
    QString musicFolder; // the "Music Folder" URL, possibly empty
    // In the order of the "Tracks" dictionary, which is the file's order.
    QList<PlistTrack> tracks;
    // The user's own playlists: the master playlist, the special ones a
    // player makes by itself and playlist folders are left out.
    QList<PlistPlaylist> playlists;
};

// What a library file may hold at most, so that a hostile or broken file
// cannot exhaust memory. The real libraries of large collections stay far
// below these.
struct PlistLimits {
    qint64 fileSize = qint64(1) << 30; // 1 GiB
    qsizetype valueLength = 64 * 1024; // characters in one key or text value
    qsizetype tracks = 2'000'000;
    qsizetype playlists = 100'000;
    qsizetype playlistEntries = 10'000'000; // track references over all playlists
};

// Throws LibraryError (Unreadable) naming the file, and the line, when the
// file cannot be read, is not a library file or is beyond the limits. A value
// beyond the limit is refused rather than cut short: a shortened location
// would name another file.
PlistLibrary readPlistLibrary(const QString& path, const PlistLimits& limits = {});

// Whether the first bytes of a file look like a property list, so that a
// file that is plainly something else gets a precise message.
bool looksLikePlist(const QByteArray& head);

} // namespace musiclibrary
