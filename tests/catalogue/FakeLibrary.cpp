#include "tests/catalogue/FakeLibrary.h"

#include <QFile>

using namespace Qt::StringLiterals;

namespace fake {

namespace {

class FakeArtworkCollection : public musiclibrary::IITArtworkCollection {
public:
    explicit FakeArtworkCollection(std::shared_ptr<FakeTrack> track) : m_track(std::move(track)) {}
    int Count() override {
        failIf(m_track->failing, u"Artwork.Count"_s);
        return static_cast<int>(m_track->artwork.size());
    }
    musiclibrary::ArtworkPtr Item(int index) override {
        failIf(m_track->failing, u"Artwork.Item"_s);
        if (index < 1 || index > Count())
            throw LibraryError(LibraryError::InvalidArgument, u"No artwork at that index."_s);
        return m_track->artwork[static_cast<size_t>(index - 1)];
    }

private:
    std::shared_ptr<FakeTrack> m_track;
};

class FakeTrackCollection : public musiclibrary::IITTrackCollection {
public:
    explicit FakeTrackCollection(std::shared_ptr<FakeLibrary> library)
        : m_library(std::move(library)) {}
    int Count() override {
        failIf(m_library->failing, u"Tracks.Count"_s);
        return static_cast<int>(m_library->tracks.size());
    }
    musiclibrary::TrackPtr Item(int index) override {
        ++m_library->itemCalls;
        failIf(m_library->failing, u"Item:"_s + QString::number(index));
        if (index < 1 || index > static_cast<int>(m_library->tracks.size()))
            throw LibraryError(LibraryError::InvalidArgument, u"No track at that index."_s);
        return m_library->tracks[static_cast<size_t>(index - 1)];
    }
    musiclibrary::TrackPtr ItemByPersistentID(int32_t high, int32_t low) override {
        failIf(m_library->failing, u"ItemByPersistentID"_s);
        for (const FakeTrackPtr& track : m_library->tracks) {
            if (track->high == high && track->low == low && !track->deleted)
                return track;
        }
        throw LibraryError(LibraryError::NotFound, u"No track has that persistent id."_s);
    }

private:
    std::shared_ptr<FakeLibrary> m_library;
};

class FakeLibraryPlaylist : public musiclibrary::IITPlaylist {
public:
    explicit FakeLibraryPlaylist(std::shared_ptr<FakeLibrary> library)
        : m_library(std::move(library)) {}
    QString Name() const override { return u"Library"_s; }
    musiclibrary::TrackCollectionPtr Tracks() override {
        failIf(m_library->failing, u"Tracks"_s);
        return std::make_shared<FakeTrackCollection>(m_library);
    }
    void Delete() override {
        throw LibraryError(LibraryError::Unsupported, u"The library cannot be deleted."_s);
    }

private:
    std::shared_ptr<FakeLibrary> m_library;
};

} // namespace

void failIf(const QSet<QString>& failing, const QString& what) {
    if (failing.contains(what))
        throw LibraryError(LibraryError::Failed, u"Injected failure: "_s + what);
}

void FakeArtwork::Delete() {
    failIf(failing, u"Delete"_s);
}

void FakeArtwork::SaveArtworkToFile(const QString& path) {
    failIf(failing, u"SaveArtworkToFile"_s);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        throw LibraryError(LibraryError::WriteFailed, u"Cannot write \""_s + path + u'"');
}

int FakeArtwork::Format() {
    failIf(failing, u"Format"_s);
    return format;
}

bool FakeArtwork::IsDownloadedArtwork() {
    failIf(failing, u"IsDownloadedArtwork"_s);
    return downloaded;
}

QString FakeTrack::Name() const {
    failIf(failing, u"Name"_s);
    return name;
}
QString FakeTrack::Album() const {
    failIf(failing, u"Album"_s);
    return album;
}
QString FakeTrack::Artist() const {
    failIf(failing, u"Artist"_s);
    return artist;
}
int FakeTrack::TrackNumber() const {
    failIf(failing, u"TrackNumber"_s);
    return trackNumber;
}
QString FakeTrack::KindAsString() const {
    failIf(failing, u"KindAsString"_s);
    return kind;
}
QString FakeTrack::Location() const {
    failIf(failing, u"Location"_s);
    return location;
}

musiclibrary::ArtworkCollectionPtr FakeTrack::Artwork() {
    failIf(failing, u"Artwork"_s);
    return std::make_shared<FakeArtworkCollection>(shared_from_this());
}

musiclibrary::ArtworkPtr FakeTrack::AddArtworkFromFile(const QString& imagePath) {
    QFile file(imagePath);
    if (!file.open(QIODevice::ReadOnly))
        throw LibraryError(LibraryError::NotFound, u"Cannot read \""_s + imagePath + u'"');
    FakeArtworkPtr picture = addPicture();
    picture->bytes = file.readAll();
    return picture;
}

void FakeTrack::SetDownloadedArtworkFromFile(const QString& imagePath) {
    artwork.clear();
    FakeArtworkPtr picture = addPicture(musiclibrary::ITArtworkFormatJPEG, true);
    QFile file(imagePath);
    if (file.open(QIODevice::ReadOnly))
        picture->bytes = file.readAll();
}

void FakeTrack::EditArtwork(const musiclibrary::ArtworkEdit& edit) {
    failIf(failing, u"EditArtwork"_s);
    std::vector<QByteArray> added;
    for (const QString& path : edit.addImagePaths) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            throw LibraryError(LibraryError::NotFound, u"Cannot read \""_s + path + u'"');
        added.push_back(file.readAll());
    }
    std::vector<FakeArtworkPtr> kept;
    for (size_t i = 0; i < artwork.size(); ++i)
        if (!edit.removePositions.contains(int(i) + 1))
            kept.push_back(artwork[i]);
    artwork = std::move(kept);
    for (const QByteArray& bytes : added)
        addPicture()->bytes = bytes;
}

QList<QByteArray> FakeTrack::ArtworkData() {
    failIf(failing, u"ArtworkData"_s);
    QList<QByteArray> data;
    for (const FakeArtworkPtr& picture : artwork)
        data.append(picture->bytes);
    return data;
}

FakeArtworkPtr FakeTrack::addPicture(int format, bool downloaded) {
    auto picture = std::make_shared<FakeArtwork>();
    picture->format = format;
    picture->downloaded = downloaded;
    artwork.push_back(picture);
    return picture;
}

FakeTrackPtr FakeLibrary::addTrack(const QString& name, const QString& location,
                                   const QString& artist, const QString& album, int number) {
    auto track = std::make_shared<FakeTrack>();
    track->name = name;
    track->location = location;
    track->artist = artist;
    track->album = album;
    track->trackNumber = number;
    track->high = 0;
    track->low = m_nextId++;
    tracks.push_back(track);
    return track;
}

musiclibrary::PlaylistPtr FakeLibrary::LibraryPlaylist() {
    failIf(failing, u"LibraryPlaylist"_s);
    return std::make_shared<FakeLibraryPlaylist>(shared_from_this());
}

musiclibrary::SourcePtr FakeLibrary::LibrarySource() {
    throw LibraryError(LibraryError::Unsupported, u"The fake library has no playlists."_s);
}

musiclibrary::UserPlaylistPtr FakeLibrary::CreatePlaylist(const QString& name) {
    failIf(failing, u"CreatePlaylist"_s);
    auto playlist = std::make_shared<FakeUserPlaylist>();
    playlist->name = name;
    createdPlaylists.push_back(playlist);
    return playlist;
}

musiclibrary::TrackCollectionPtr FakeUserPlaylist::Tracks() {
    throw LibraryError(LibraryError::Unsupported, u"The fake playlist lists nothing."_s);
}

void FakeLibrary::GetITObjectPersistentIDs(const musiclibrary::TrackPtr& track, int32_t& high,
                                           int32_t& low) {
    const auto fakeTrack = std::dynamic_pointer_cast<FakeTrack>(track);
    if (!fakeTrack)
        throw LibraryError(LibraryError::InvalidArgument, u"Not a track of this library."_s);
    failIf(fakeTrack->failing, u"PersistentIDs"_s);
    high = fakeTrack->high;
    low = fakeTrack->low;
}

} // namespace fake
