#pragma once

// The data behind one opened library, shared by every object the engine
// hands out (a track or artwork object keeps it alive). Tracks are plain
// records addressed by their 0-based position; objects are made on demand.

#include "musiclibrary/AudioFileIO.h"
#include "musiclibrary/ITunes.h"
#include "musiclibrary/LibraryIndex.h"
#include "musiclibrary/RemovedArtwork.h"

#include <QHash>
#include <QList>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

namespace musiclibrary {

struct TrackEntry {
    QString name;
    QString artist;
    QString album;
    QString kind;
    QString location; // empty when the library has none for the track
    int trackNumber = 0;
    quint64 persistentId = 0;
    bool fileExists = false;
    AudioFileFacts facts; // what the song file holds; meaningful when fileExists
    // One identity per embedded picture, parallel to facts.pictures. An
    // artwork object remembers the identity of its picture, so that after a
    // picture was removed it finds where its own picture went, or learns
    // that it is gone, instead of silently addressing a neighbour.
    QList<quint64> pictureSlots;
};

struct DownloadedArt {
    QString filePath;
    int format = 0;
    qint64 byteSize = 0;
    quint64 slot = 0;
};

struct PlaylistData {
    qint64 id = 0; // the index's id; 0 for a playlist of the library file
    QString name;
    QList<quint64> persistentIds;
    bool readOnly = false; // playlists of the library file are not ours to change
    bool deleted = false;
    QString m3uFileName;
    bool fileOutdated = false; // the .m3u8 file lags behind persistentIds
    // Positions in the library of the listed tracks that it holds, made
    // when first needed.
    std::vector<int> resolved;
    bool resolvedValid = false;
};

using PlaylistDataPtr = std::shared_ptr<PlaylistData>;

// Which picture an artwork object stands for.
struct ArtworkRef {
    int track = -1;
    quint64 slot = 0;
    bool downloaded = false;
};

class LibraryState {
public:
    LibraryState(const QString& sourcePath, const QString& dataFolder,
                 std::unique_ptr<LibraryIndex> index);
    ~LibraryState();

    const QString& sourcePath() const { return m_sourcePath; }
    const QString& dataFolder() const { return m_dataFolder; }
    LibraryIndex* index() const { return m_index.get(); }

    // Building (used while opening).
    // Folder libraries name their tracks from the tags; library files keep
    // the values they list.
    void setNamesFromTags(bool namesFromTags) { m_namesFromTags = namesFromTags; }
    void addTrack(TrackEntry entry);
    quint64 newSlot() { return m_nextSlot++; }
    void loadDownloads();
    void addLibraryFilePlaylist(const QString& name, const QList<quint64>& persistentIds);
    void loadOwnPlaylists();

    // Tracks.
    int trackCount() const { return int(m_tracks.size()); }
    const TrackEntry& track(int position) const { return m_tracks[size_t(position)]; }
    // -1 when no track has that id.
    int trackWithId(quint64 persistentId) const { return m_trackById.value(persistentId, -1); }

    // Artwork of a track; every call throws LibraryError with a description
    // that names the song file.
    int artworkCount(int track) const;
    ArtworkRef artworkAt(int track, int position) const; // 1-based position
    int artworkFormat(const ArtworkRef& ref) const;
    void saveArtwork(const ArtworkRef& ref, const QString& path);
    void deleteArtwork(const ArtworkRef& ref);
    ArtworkRef addArtwork(int track, const QString& imagePath);
    // One all-or-nothing change: see IITTrack::EditArtwork.
    void editArtwork(int track, const ArtworkEdit& edit);
    QList<QByteArray> artworkData(int track);
    void setDownloadedArtwork(int track, const QString& imagePath);

    // Playlists: the engine's own first (oldest first), then those of the
    // library file.
    const QList<PlaylistDataPtr>& playlists() const { return m_playlists; }
    PlaylistDataPtr createPlaylist(const QString& name);
    void deletePlaylist(const PlaylistDataPtr& playlist);
    void addToPlaylist(const PlaylistDataPtr& playlist, int track);
    const std::vector<int>& playlistTracks(const PlaylistDataPtr& playlist);
    // Brings every .m3u8 file up to date; also done when the library closes.
    void writeOutdatedPlaylistFiles() noexcept;

    // The journal of removed pictures: see IiTunes::StartArtworkRun.
    void setRemovedLimits(const RemovedLimits& limits) { m_removedLimits = limits; }
    void startArtworkRun(const QString& description);
    void endArtworkRun();
    QList<RemovedChange> removedChanges(std::optional<qint64> run);
    bool restoreRemoved(qint64 changeId);

private:
    // What a change keeps in the journal before it removes anything.
    enum class Journal {
        Removed,              // the pictures it removes
        RemovedAndDownloaded, // those and the track's downloaded art, which goes after it
        None,                 // nothing: a restore, which only takes out what a change added
    };
    // The picture position (0-based) of an embedded artwork, or a throw when
    // the picture is gone or the file can no longer be used.
    int picturePosition(const ArtworkRef& ref) const;
    // Throws unless the track's song file can have its pictures read/changed.
    void requirePictureFile(int track, const QString& action) const;
    // Changes the song file's pictures in one write, refusing when another
    // program changed them since they were read, and brings entry, index
    // and picture identities up to date.
    void changeFile(int track, const PictureChange& change, Journal journal = Journal::Removed);
    // Reads the file again after a change and brings entry, index and
    // picture identities up to date. expectedSlots: the identities the
    // pictures have after the change that was made (kept when the count
    // fits), or none when no change of ours is known; written: the facts a
    // write read back from the file, else it is read.
    void refreshFile(int track, std::optional<QList<quint64>> expectedSlots,
                     std::optional<AudioFileFacts> written = std::nullopt);
    void removeDownloadedArtwork(int track, Journal journal = Journal::Removed);
    void storeDownloadedImage(int track, const QByteArray& image, const QString& source);
    RemovedArtworkStore& removedStore();
    // Keeps what the change is about to remove, durably; returns the
    // record's id (0 when nothing goes) or throws, and then the change
    // must not be made.
    qint64 journalFileChange(int track, const QList<Picture>& before, const PictureChange& change,
                             const DownloadedArt* downloaded);
    qint64 journalDownloaded(int track, const DownloadedArt& art);
    qint64 journal(RemovedChange change);
    void forgetJournalled(qint64 changeId) noexcept;
    const DownloadedArt* downloadedArt(int track) const;
    QString downloadedFolder() const;
    QString playlistFolder() const;
    void writePlaylistFile(const PlaylistData& playlist, const QList<quint64>& ids) const;
    QString uniquePlaylistFileName(const QString& name, qint64 id) const;

    QString m_sourcePath;
    QString m_dataFolder;
    std::unique_ptr<LibraryIndex> m_index;
    std::vector<TrackEntry> m_tracks;
    QHash<quint64, int> m_trackById;
    QHash<quint64, DownloadedArt> m_downloads; // by persistent id
    QList<PlaylistDataPtr> m_playlists;
    quint64 m_nextSlot = 1;
    bool m_namesFromTags = true;
    std::unique_ptr<RemovedArtworkStore> m_removed;
    RemovedLimits m_removedLimits;
    QString m_runDescription;
    bool m_inRun = false;
    qint64 m_runId = 0; // made with the run's first record
};

// Puts a song file's facts into a track: its picture identities, and for a
// folder library also the names taken from the tags.
void applyFileFacts(TrackEntry& entry, AudioFileFacts facts, bool namesFromTags);

// Reads an image file that is to become artwork, refusing missing, empty
// and absurdly large files with a description naming the file.
QByteArray readImageFile(const QString& imagePath);

// The 16 upper-case hexadecimal digits of a persistent id.
QString persistentIdHex(quint64 persistentId);

// Largest image file the engine accepts as artwork.
constexpr qint64 maxImageFileSize = 64 * 1024 * 1024;

} // namespace musiclibrary
