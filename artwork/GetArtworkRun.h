#pragma once

// Get Album Artwork: the songs (of the download playlist, or a list) are
// grouped by album, each album is looked up once, and its front cover, once
// it passes the checks every image passes before a song takes it, becomes
// the downloaded artwork of the album's songs that have no art yet. Songs
// that have art are left alone. Where the cover comes from is the source's
// business; this run only hands the image to the engine.

#include "artworkdownload/CoverSource.h"
#include "catalogue/CheckedRowRun.h"
#include "musiclibrary/ITunes.h"

#include <QList>
#include <QString>

#include <functional>

namespace artwork {

// One song and its catalogue index (its place in the library).
struct SongToFetch {
    int32_t index = 0;
    musiclibrary::TrackPtr track;
};

// How one album ended, as the command-line tool prints it.
struct AlbumReport {
    QList<int32_t> indexes;
    QString status; // "found", "not found", "skipped", "failed"
    QString releaseId;
    QString detail;
};

struct GetArtworkCounts {
    int albumsLookedUp = 0;
    int songsGiven = 0;
    int albumsNotFound = 0;
    int albumsFailed = 0;
    bool stopped = false;
    // The first album's failure, quoted in the closing message.
    QString firstFailure;
};

// The songs of the named playlist, in playlist order; empty with why in
// failure when there is no such playlist.
QList<SongToFetch> PlaylistSongs(musiclibrary::IiTunes& library, const QString& playlistName,
                                 QString& failure);
// The library's songs at the given 1-based indexes; a missing index is a
// failure.
QList<SongToFetch> LibrarySongs(musiclibrary::IiTunes& library, const QList<int>& indexes,
                                QString& failure);

struct GetArtworkEnvironment {
    catalogue::RunEnvironment& run;
    bool& cancelRequested;
    // Where the fetched image is written before the engine takes it.
    QString tempFolder;
};

// The run: the progress panel counts albums; Stop ends it after the album
// in hand. onAlbum (may be empty) hears of every album dealt with.
GetArtworkCounts GetAlbumArtwork(const QList<SongToFetch>& songs,
                                 artworkdownload::CoverSource& source,
                                 GetArtworkEnvironment& environment,
                                 const std::function<void(const AlbumReport&)>& onAlbum = {});

QString NoDownloadPlaylistText(const QString& failure);
QString GetArtworkDoneText(const GetArtworkCounts& counts);

} // namespace artwork
