#include "artwork/GetArtworkRun.h"

#include "artwork/DownloadRuns.h"
#include "artwork/ImageCheck.h"
#include "catalogue/LongRun.h"
#include "catalogue/PathOps.h"
#include "catalogue/TempArtwork.h"
#include "musiclibrary/AudioFileIO.h"
#include "musiclibrary/Library.h"

#include <QHash>
#include <QSaveFile>

using namespace Qt::StringLiterals;

namespace artwork {

namespace {

using artworkdownload::CoverAnswer;
using artworkdownload::CoverOutcome;

struct Album {
    artworkdownload::AlbumQuery query;
    QList<SongToFetch> songs;
    QList<SongToFetch> withoutArt;
};

QString failureText(const std::exception& error) {
    if (const auto* libraryError = dynamic_cast<const musiclibrary::LibraryError*>(&error))
        return libraryError->description();
    return QString::fromLocal8Bit(error.what());
}

// A song whose artwork cannot even be counted is left alone, as one with
// art is: nothing is attached where it is not known to be missing.
bool lacksArt(const musiclibrary::TrackPtr& track) {
    try {
        return track->Artwork()->Count() == 0;
    } catch (...) {
        return false;
    }
}

// Albums in the order their first song comes; one album is one folder,
// one album artist (else artist) and one album title.
QList<Album> groupByAlbum(const QList<SongToFetch>& songs) {
    QList<Album> albums;
    QHash<QString, qsizetype> byKey;
    for (const SongToFetch& song : songs) {
        QString artist, title, location;
        try {
            artist = song.track->Artist();
            title = song.track->Album();
            location = song.track->Location();
        } catch (...) {
            // Unreadable properties group the song on its own folder alone.
        }
        const musiclibrary::AlbumTags tags = song.track->ReadAlbumTags();
        const QString albumArtist = tags.albumArtist.isEmpty() ? artist : tags.albumArtist;
        const QString key = catalogue::FolderOfPath(location) + u'\n' + albumArtist + u'\n' + title;
        qsizetype at = byKey.value(key, -1);
        if (at < 0) {
            at = albums.size();
            byKey.insert(key, at);
            albums.append(Album{{albumArtist, title, {}, {}}, {}, {}});
        }
        Album& album = albums[at];
        if (album.query.releaseId.isEmpty())
            album.query.releaseId = tags.releaseId;
        if (album.query.releaseGroupId.isEmpty())
            album.query.releaseGroupId = tags.releaseGroupId;
        album.songs.append(song);
        if (lacksArt(song.track))
            album.withoutArt.append(song);
    }
    return albums;
}

QList<int32_t> indexesOf(const QList<SongToFetch>& songs) {
    QList<int32_t> indexes;
    for (const SongToFetch& song : songs)
        indexes.append(song.index);
    return indexes;
}

// Writes the checked cover where the engine can take it from; empty path
// and why in failure when it cannot be written.
QString writeCover(const QByteArray& image, const QString& folder, QString& failure) {
    const QString path =
        catalogue::TempArtworkPath(folder, u"Temp-Fetched"_s, musiclibrary::imageFormatOf(image));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(image) != image.size() || !file.commit()) {
        failure =
            u"The fetched cover cannot be written to \"%1\": %2."_s.arg(path, file.errorString());
        return {};
    }
    return path;
}

// Attaches the album's cover to its songs without art.
AlbumReport attach(const Album& album, const CoverAnswer& answer, const QString& tempFolder,
                   GetArtworkCounts& counts) {
    AlbumReport report{indexesOf(album.songs), u"found"_s, answer.releaseId, {}};
    const QString name = u"front cover of "_s + answer.releaseId;
    QString problem = answer.image.size() > MaxImageFileBytes
                          ? u"The %1 is too large to be used as artwork (%2 bytes)."_s.arg(
                                name, QString::number(answer.image.size()))
                          : ImageDataProblem(name, answer.image);
    const QString path =
        problem.isEmpty() ? writeCover(answer.image, tempFolder, problem) : QString();
    if (!problem.isEmpty()) {
        report.status = u"failed"_s;
        report.detail = problem;
        return report;
    }
    int given = 0;
    QStringList failures;
    for (const SongToFetch& song : album.withoutArt) {
        try {
            song.track->SetDownloadedArtworkFromFile(path);
            ++given;
        } catch (const std::exception& error) {
            failures.append(failureText(error));
        }
    }
    counts.songsGiven += given;
    if (given == 0) {
        report.status = u"failed"_s;
        report.detail = failures.join(u' ');
    } else {
        report.detail = u"%1 of %2 songs given the cover"_s.arg(given).arg(album.songs.size());
        if (!failures.isEmpty())
            report.detail += u"; "_s + failures.join(u' ');
    }
    return report;
}

} // namespace

QList<SongToFetch> PlaylistSongs(musiclibrary::IiTunes& library, const QString& playlistName,
                                 QString& failure) {
    const musiclibrary::SourcePtr source = library.LibrarySource();
    const musiclibrary::PlaylistCollectionPtr playlists = source ? source->Playlists() : nullptr;
    const musiclibrary::PlaylistPtr playlist =
        playlists ? playlists->ItemByName(playlistName) : nullptr;
    if (!playlist) {
        failure = u"There is no playlist \"%1\"."_s.arg(playlistName);
        return {};
    }
    // The catalogue index of a song is its place in the library.
    QHash<quint64, int32_t> places;
    const musiclibrary::TrackCollectionPtr all = library.LibraryPlaylist()->Tracks();
    const auto idOf = [&library](const musiclibrary::TrackPtr& track) {
        int32_t high = 0, low = 0;
        library.GetITObjectPersistentIDs(track, high, low);
        return quint64(quint32(high)) << 32 | quint32(low);
    };
    for (int i = 1; i <= all->Count(); ++i)
        places.insert(idOf(all->Item(i)), i);
    QList<SongToFetch> songs;
    const musiclibrary::TrackCollectionPtr tracks = playlist->Tracks();
    for (int i = 1; i <= tracks->Count(); ++i) {
        const musiclibrary::TrackPtr track = tracks->Item(i);
        songs.append({places.value(idOf(track), 0), track});
    }
    return songs;
}

QList<SongToFetch> LibrarySongs(musiclibrary::IiTunes& library, const QList<int>& indexes,
                                QString& failure) {
    const musiclibrary::TrackCollectionPtr all = library.LibraryPlaylist()->Tracks();
    const int count = all->Count();
    QList<SongToFetch> songs;
    for (int index : indexes) {
        if (index < 1 || index > count) {
            failure = u"The library has no song %1 (it has %2)."_s.arg(index).arg(count);
            return {};
        }
        songs.append({index, all->Item(index)});
    }
    return songs;
}

GetArtworkCounts GetAlbumArtwork(const QList<SongToFetch>& songs,
                                 artworkdownload::CoverSource& source,
                                 GetArtworkEnvironment& environment,
                                 const std::function<void(const AlbumReport&)>& onAlbum) {
    GetArtworkCounts counts;
    const QList<Album> albums = groupByAlbum(songs);
    catalogue::LongRun run(environment.run.progress, environment.cancelRequested,
                           environment.run.ui.events);
    run.begin(int32_t(albums.size()));
    for (qsizetype i = 0; i < albums.size(); ++i) {
        const Album& album = albums[i];
        AlbumReport report{indexesOf(album.songs), u"skipped"_s, {}, u"every song has artwork"_s};
        if (!album.withoutArt.isEmpty()) {
            ++counts.albumsLookedUp;
            const CoverAnswer answer = source.FrontCover(album.query);
            switch (answer.outcome) {
            case CoverOutcome::Found:
                report = attach(album, answer, environment.tempFolder, counts);
                break;
            case CoverOutcome::NotFound:
                report = {report.indexes, u"not found"_s, answer.releaseId, answer.reason};
                ++counts.albumsNotFound;
                break;
            case CoverOutcome::Failed:
                report = {report.indexes, u"failed"_s, answer.releaseId, answer.reason};
                break;
            }
            if (report.status == u"failed") {
                ++counts.albumsFailed;
                if (counts.firstFailure.isEmpty())
                    counts.firstFailure = report.detail;
            }
        }
        if (onAlbum)
            onAlbum(report);
        if (run.itemDone(int32_t(i + 1))) {
            counts.stopped = true;
            break;
        }
    }
    run.end(!counts.stopped);
    return counts;
}

QString NoDownloadPlaylistText(const QString& failure) {
    return catalogue::Paragraphs(
        {failure, u"Use Step 3: Create Playlist of Artwork to Download first: it puts the songs "
                  u"with a check mark into the playlist '%1'."_s.arg(DownloadPlaylistName())});
}

QString GetArtworkDoneText(const GetArtworkCounts& counts) {
    QStringList paragraphs{u"Done getting album artwork."_s,
                           u"Number of albums looked up: %1"_s.arg(counts.albumsLookedUp),
                           u"Number of songs given downloaded artwork: %1"_s.arg(counts.songsGiven),
                           u"Number of albums not found: %1"_s.arg(counts.albumsNotFound)};
    if (counts.albumsFailed > 0)
        paragraphs.append(u"Number of albums that could not be looked up: %1. The first reason: "
                          u"%2"_s.arg(counts.albumsFailed)
                              .arg(counts.firstFailure));
    if (counts.songsGiven > 0)
        paragraphs.append(
            u"To see the new artwork, re-scan the library (click the 'Step 1: Scan iTunes' "
            u"toolbar button); then Embed Downloaded Artwork moves it into the song files."_s);
    return catalogue::Paragraphs(paragraphs);
}

} // namespace artwork
