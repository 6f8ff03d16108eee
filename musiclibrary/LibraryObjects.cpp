#include "musiclibrary/LibraryObjects.h"

#include <algorithm>

namespace musiclibrary {

using namespace Qt::StringLiterals;

namespace {

using StatePtr = std::shared_ptr<LibraryState>;

quint64 joinId(int32_t high, int32_t low) {
    return (quint64(quint32(high)) << 32) | quint32(low);
}

[[noreturn]] void throwNoItem(int index, int count, const QString& what) {
    throw LibraryError(LibraryError::InvalidArgument,
                       u"There is no %1 %2: the collection holds %3."_s.arg(
                           what, QString::number(index), QString::number(count)));
}

class Artwork final : public IITArtwork {
public:
    Artwork(StatePtr state, ArtworkRef ref) : m_state(std::move(state)), m_ref(ref) {}
    void Delete() override { m_state->deleteArtwork(m_ref); }
    void SaveArtworkToFile(const QString& path) override { m_state->saveArtwork(m_ref, path); }
    int Format() override { return m_state->artworkFormat(m_ref); }
    bool IsDownloadedArtwork() override {
        m_state->artworkFormat(m_ref); // fails like the other calls once the image is gone
        return m_ref.downloaded;
    }

private:
    StatePtr m_state;
    ArtworkRef m_ref;
};

// Live: Count and Item always describe the track as it is now.
class ArtworkCollection final : public IITArtworkCollection {
public:
    ArtworkCollection(StatePtr state, int track) : m_state(std::move(state)), m_track(track) {}
    int Count() override { return m_state->artworkCount(m_track); }
    ArtworkPtr Item(int index) override {
        return std::make_shared<Artwork>(m_state, m_state->artworkAt(m_track, index));
    }

private:
    StatePtr m_state;
    int m_track;
};

class Track final : public IITTrack {
public:
    Track(StatePtr state, int position) : m_state(std::move(state)), m_position(position) {}

    QString Name() const override { return entry().name; }
    QString Album() const override { return entry().album; }
    QString Artist() const override { return entry().artist; }
    int TrackNumber() const override { return entry().trackNumber; }
    QString KindAsString() const override { return entry().kind; }
    QString Location() const override { return entry().location; }
    ArtworkCollectionPtr Artwork() override {
        return std::make_shared<ArtworkCollection>(m_state, m_position);
    }
    ArtworkPtr AddArtworkFromFile(const QString& imagePath) override {
        return std::make_shared<class Artwork>(m_state, m_state->addArtwork(m_position, imagePath));
    }
    void SetDownloadedArtworkFromFile(const QString& imagePath) override {
        m_state->setDownloadedArtwork(m_position, imagePath);
    }
    void EditArtwork(const ArtworkEdit& edit) override { m_state->editArtwork(m_position, edit); }
    QList<QByteArray> ArtworkData() override { return m_state->artworkData(m_position); }
    AlbumTags ReadAlbumTags() override {
        const QString location = entry().location;
        return location.isEmpty() ? AlbumTags{} : readAlbumTags(location);
    }

    const LibraryState* state() const { return m_state.get(); }
    int position() const { return m_position; }

private:
    const TrackEntry& entry() const { return m_state->track(m_position); }

    StatePtr m_state;
    int m_position;
};

// The position of a track object in state, or a throw when it is not one of
// this library's tracks.
int positionIn(const LibraryState& state, const TrackPtr& track) {
    const auto* ours = dynamic_cast<const Track*>(track.get());
    if (!ours || ours->state() != &state)
        throw LibraryError(
            LibraryError::InvalidArgument,
            u"The track is not a track of the library \"%1\"."_s.arg(state.sourcePath()));
    return ours->position();
}

// The tracks of the whole library (no playlist) or of one playlist.
class TrackCollection final : public IITTrackCollection {
public:
    TrackCollection(StatePtr state, PlaylistDataPtr playlist)
        : m_state(std::move(state)), m_playlist(std::move(playlist)) {}

    int Count() override {
        return m_playlist ? int(m_state->playlistTracks(m_playlist).size()) : m_state->trackCount();
    }
    TrackPtr Item(int index) override {
        const int count = Count();
        if (index < 1 || index > count)
            throwNoItem(index, count, u"track"_s);
        const int position =
            m_playlist ? m_state->playlistTracks(m_playlist)[size_t(index - 1)] : index - 1;
        return std::make_shared<Track>(m_state, position);
    }
    TrackPtr ItemByPersistentID(int32_t high, int32_t low) override {
        const int position = m_state->trackWithId(joinId(high, low));
        const bool inCollection =
            position >= 0 &&
            (!m_playlist || std::ranges::count(m_state->playlistTracks(m_playlist), position) > 0);
        if (!inCollection)
            throw LibraryError(
                LibraryError::NotFound,
                u"No track with the persistent id %1 is in the library \"%2\"."_s.arg(
                    persistentIdHex(joinId(high, low)), m_state->sourcePath()));
        return std::make_shared<Track>(m_state, position);
    }

private:
    StatePtr m_state;
    PlaylistDataPtr m_playlist;
};

class LibraryPlaylist final : public IITPlaylist {
public:
    explicit LibraryPlaylist(StatePtr state) : m_state(std::move(state)) {}
    QString Name() const override { return u"Library"_s; }
    TrackCollectionPtr Tracks() override {
        return std::make_shared<TrackCollection>(m_state, nullptr);
    }
    void Delete() override {
        throw LibraryError(
            LibraryError::Unsupported,
            u"The library playlist of \"%1\" cannot be deleted."_s.arg(m_state->sourcePath()));
    }

private:
    StatePtr m_state;
};

class UserPlaylist final : public IITUserPlaylist {
public:
    UserPlaylist(StatePtr state, PlaylistDataPtr data)
        : m_state(std::move(state)), m_data(std::move(data)) {}
    QString Name() const override { return m_data->name; }
    TrackCollectionPtr Tracks() override {
        if (m_data->deleted)
            throw LibraryError(LibraryError::Deleted,
                               u"The playlist \"%1\" was deleted."_s.arg(m_data->name));
        return std::make_shared<TrackCollection>(m_state, m_data);
    }
    void Delete() override { m_state->deletePlaylist(m_data); }
    void AddTrack(const TrackPtr& track) override {
        m_state->addToPlaylist(m_data, positionIn(*m_state, track));
    }

private:
    StatePtr m_state;
    PlaylistDataPtr m_data;
};

class PlaylistCollection final : public IITPlaylistCollection {
public:
    explicit PlaylistCollection(StatePtr state) : m_state(std::move(state)) {}
    int Count() override { return int(m_state->playlists().size()); }
    PlaylistPtr Item(int index) override {
        const int count = Count();
        if (index < 1 || index > count)
            throwNoItem(index, count, u"playlist"_s);
        return std::make_shared<UserPlaylist>(m_state, m_state->playlists()[index - 1]);
    }
    PlaylistPtr ItemByName(const QString& name) override {
        for (const PlaylistDataPtr& data : m_state->playlists())
            if (data->name == name)
                return std::make_shared<UserPlaylist>(m_state, data);
        return nullptr;
    }

private:
    StatePtr m_state;
};

class Source final : public IITSource {
public:
    explicit Source(StatePtr state) : m_state(std::move(state)) {}
    QString Name() const override { return u"Library"_s; }
    PlaylistCollectionPtr Playlists() override {
        return std::make_shared<PlaylistCollection>(m_state);
    }

private:
    StatePtr m_state;
};

class Library final : public IiTunes {
public:
    explicit Library(StatePtr state) : m_state(std::move(state)) {}
    PlaylistPtr LibraryPlaylist() override {
        return std::make_shared<class LibraryPlaylist>(m_state);
    }
    SourcePtr LibrarySource() override { return std::make_shared<Source>(m_state); }
    UserPlaylistPtr CreatePlaylist(const QString& name) override {
        return std::make_shared<UserPlaylist>(m_state, m_state->createPlaylist(name));
    }
    void GetITObjectPersistentIDs(const TrackPtr& track, int32_t& high, int32_t& low) override {
        const quint64 id = m_state->track(positionIn(*m_state, track)).persistentId;
        high = int32_t(quint32(id >> 32));
        low = int32_t(quint32(id & 0xFFFFFFFFu));
    }
    void StartArtworkRun(const QString& description) override {
        m_state->startArtworkRun(description);
    }
    void EndArtworkRun() override { m_state->endArtworkRun(); }
    QList<RemovedChange> RemovedArtwork(std::optional<qint64> run) override {
        return m_state->removedChanges(run);
    }
    bool RestoreRemovedArtwork(qint64 changeId) override {
        return m_state->restoreRemoved(changeId);
    }

private:
    StatePtr m_state;
};

} // namespace

ITunesPtr makeLibraryObject(std::shared_ptr<LibraryState> state) {
    return std::make_shared<Library>(std::move(state));
}

} // namespace musiclibrary
