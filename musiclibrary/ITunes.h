#pragma once

// The music library as the rest of the program sees it: a small object model
// with the names and operations of the automation interface that the program's
// design was written against. Collections are 1-based. Every call either
// succeeds or throws LibraryError, whose description names what went wrong and
// with which file, because message boxes quote it to the user.
//
// Objects are shared: a track handed out stays usable (though possibly stale)
// for as long as anybody holds it, like a reference-counted automation object.

#include "musiclibrary/RemovedArtwork.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>

namespace musiclibrary {

// The one exception type of the engine.
class LibraryError : public std::runtime_error {
public:
    // Error numbers, loosely after the automation interface's HRESULTs; callers
    // only ever show the description, tests check the number.
    enum Number : int {
        Failed = 1,          // anything without a better number
        NotFound = 2,        // a track, playlist, artwork or file that does not exist
        InvalidArgument = 3, // an index out of range, an empty path, ...
        Unsupported = 4,     // a file kind that cannot hold pictures
        Unreadable = 5,      // a file whose tags cannot be parsed
        WriteFailed = 6,     // the file could not be written; it is unchanged
        Deleted = 7,         // the object was deleted and can no longer be used
    };

    LibraryError(int number, const QString& description);

    int number() const { return m_number; }
    const QString& description() const { return m_description; }

private:
    int m_number;
    QString m_description;
};

class IITArtwork;
class IITArtworkCollection;
class IITTrack;
class IITTrackCollection;
class IITPlaylist;
class IITUserPlaylist;
class IITPlaylistCollection;
class IITSource;

using ArtworkPtr = std::shared_ptr<IITArtwork>;
using ArtworkCollectionPtr = std::shared_ptr<IITArtworkCollection>;
using TrackPtr = std::shared_ptr<IITTrack>;
using TrackCollectionPtr = std::shared_ptr<IITTrackCollection>;
using PlaylistPtr = std::shared_ptr<IITPlaylist>;
using UserPlaylistPtr = std::shared_ptr<IITUserPlaylist>;
using PlaylistCollectionPtr = std::shared_ptr<IITPlaylistCollection>;
using SourcePtr = std::shared_ptr<IITSource>;

// Image format codes that IITArtwork::Format() answers.
enum ArtworkFormatCode : int {
    ITArtworkFormatUnknown = 0,
    ITArtworkFormatJPEG = 1,
    ITArtworkFormatPNG = 2,
    ITArtworkFormatBMP = 3,
};

// Engine extension: everything one change of a song's artwork does, applied
// as a whole or not at all.
struct ArtworkEdit {
    // 1-based positions in the track's artwork collection as it is now. For
    // a track with downloaded art, position 1 is that image; it is removed
    // only once the file holds the added images.
    QList<int> removePositions;
    // Image files embedded after the pictures that remain, in this order.
    QStringList addImagePaths;
};

// Engine extension: what a song's tags say of the album it belongs to,
// beyond its title and artist: the album artist and the MusicBrainz ids
// that name the release exactly. Empty texts where the tags have none.
struct AlbumTags {
    QString albumArtist;
    QString releaseId;      // MusicBrainz Album Id
    QString releaseGroupId; // MusicBrainz Release Group Id
};

class IITObject {
public:
    virtual ~IITObject() = default;
    virtual QString Name() const = 0;
};

class IITArtwork {
public:
    virtual ~IITArtwork() = default;
    // Removes this picture from the song file (or the stored downloaded image).
    virtual void Delete() = 0;
    // Writes the picture's bytes, unchanged, to path (overwriting it).
    virtual void SaveArtworkToFile(const QString& path) = 0;
    virtual int Format() = 0;
    virtual bool IsDownloadedArtwork() = 0;
};

class IITArtworkCollection {
public:
    virtual ~IITArtworkCollection() = default;
    virtual int Count() = 0;
    virtual ArtworkPtr Item(int index) = 0;
};

class IITTrack : public IITObject {
public:
    virtual QString Album() const = 0;
    virtual QString Artist() const = 0;
    virtual int TrackNumber() const = 0;
    virtual QString KindAsString() const = 0;
    // The "Location" property: the song file's full path, empty when the
    // library has none for the track.
    virtual QString Location() const = 0;
    virtual ArtworkCollectionPtr Artwork() = 0;
    // Embeds the image file as one more picture, after the existing ones.
    virtual ArtworkPtr AddArtworkFromFile(const QString& imagePath) = 0;
    // Engine extension: attaches imagePath as the track's downloaded artwork,
    // held outside the song file (replacing any earlier downloaded image).
    virtual void SetDownloadedArtworkFromFile(const QString& imagePath) = 0;
    // Engine extension: removes and adds in one write of the song file, so
    // that a failure leaves the song (and its downloaded art) exactly as it
    // was.
    virtual void EditArtwork(const ArtworkEdit& edit) = 0;
    // Engine extension: the bytes of every artwork, in collection order,
    // read in one pass (for measuring without temporary files).
    virtual QList<QByteArray> ArtworkData() = 0;
    // Engine extension: the album facts of the song's tags, read from the
    // file when asked (none when it cannot be read). Never throws.
    virtual AlbumTags ReadAlbumTags() { return {}; }
};

class IITTrackCollection {
public:
    virtual ~IITTrackCollection() = default;
    virtual int Count() = 0;
    virtual TrackPtr Item(int index) = 0;
    // Throws LibraryError(NotFound) when no track of the collection has that id.
    virtual TrackPtr ItemByPersistentID(int32_t high, int32_t low) = 0;
};

class IITPlaylist : public IITObject {
public:
    virtual TrackCollectionPtr Tracks() = 0;
    virtual void Delete() = 0;
};

class IITUserPlaylist : public IITPlaylist {
public:
    virtual void AddTrack(const TrackPtr& track) = 0;
};

class IITPlaylistCollection {
public:
    virtual ~IITPlaylistCollection() = default;
    virtual int Count() = 0;
    virtual PlaylistPtr Item(int index) = 0;
    // nullptr when there is no playlist of that name.
    virtual PlaylistPtr ItemByName(const QString& name) = 0;
};

class IITSource : public IITObject {
public:
    virtual PlaylistCollectionPtr Playlists() = 0;
};

class IiTunes {
public:
    virtual ~IiTunes() = default;
    virtual PlaylistPtr LibraryPlaylist() = 0;
    virtual SourcePtr LibrarySource() = 0;
    virtual UserPlaylistPtr CreatePlaylist(const QString& name) = 0;
    // The persistent id of a track, as two signed 32-bit halves.
    virtual void GetITObjectPersistentIDs(const TrackPtr& track, int32_t& high, int32_t& low) = 0;

    // Engine extension: the journal of removed pictures (RemovedArtwork.h).
    // Every picture a change removes is kept there first; the changes
    // between StartArtworkRun and EndArtworkRun are one run of it, any
    // other change is a run of its own.
    virtual void StartArtworkRun(const QString& /*description*/) {}
    virtual void EndArtworkRun() {}
    // What is kept: the changes of run (of every run when none), oldest
    // first.
    virtual QList<RemovedChange> RemovedArtwork(std::optional<qint64> /*run*/) { return {}; }
    // Gives the song of a kept change the pictures it had before it: the
    // removed ones back at their positions (downloaded art as downloaded
    // art), the ones it added taken out, in one write; the change is then
    // no longer kept. False when the song already had them. Throws
    // LibraryError with the reason when the song changed since.
    virtual bool RestoreRemovedArtwork(qint64 /*changeId*/) {
        throw LibraryError(LibraryError::Unsupported,
                           QStringLiteral("This library keeps no removed artwork."));
    }
};

using ITunesPtr = std::shared_ptr<IiTunes>;

} // namespace musiclibrary
