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

// Throws LibraryError (Unreadable) naming the file, and the line, when the
// file cannot be read or is not a library file.
PlistLibrary readPlistLibrary(const QString& path);

// Whether the first bytes of a file look like a property list, so that a
// file that is plainly something else gets a precise message.
bool looksLikePlist(const QByteArray& head);

} // namespace musiclibrary
