#include "tests/catalogue/FakeLibrary.h"

#include <QFile>

using namespace Qt::StringLiterals;

namespace fake {

namespace {

// The bytes of an image file, refused as the engine refuses one it cannot read.
QByteArray imageBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw LibraryError(LibraryError::NotFound, u"Cannot read \""_s + path + u'"');
    return file.readAll();
}

template <typename T> T itemAt(const std::vector<T>& items, int index) {
    if (index < 1 || index > static_cast<int>(items.size()))
        throw LibraryError(LibraryError::InvalidArgument, u"Nothing at that index."_s);
    return items[static_cast<size_t>(index - 1)];
}

class FakeArtworkCollection : public musiclibrary::IITArtworkCollection {
public:
    explicit FakeArtworkCollection(std::shared_ptr<FakeTrack> track) : m_track(std::move(track)) {}
    int Count() override {
        return answer(m_track->failing, "Artwork.Count", static_cast<int>(m_track->artwork.size()));
    }
    musiclibrary::ArtworkPtr Item(int index) override { return itemAt(m_track->artwork, index); }

private:
    std::shared_ptr<FakeTrack> m_track;
};

class FakeTrackCollection : public musiclibrary::IITTrackCollection {
public:
    explicit FakeTrackCollection(std::shared_ptr<FakeLibrary> library)
        : m_library(std::move(library)) {}
    int Count() override {
        return answer(m_library->failing, "Tracks.Count",
                      static_cast<int>(m_library->tracks.size()));
    }
    musiclibrary::TrackPtr Item(int index) override {
        failIf(m_library->failing, u"Item:"_s + QString::number(index));
        return itemAt(m_library->tracks, index);
    }
    musiclibrary::TrackPtr ItemByPersistentID(int32_t high, int32_t low) override {
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

void FakeArtwork::SaveArtworkToFile(const QString& path) {
    failIf(failing, u"SaveArtworkToFile"_s);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        throw LibraryError(LibraryError::WriteFailed, u"Cannot write \""_s + path + u'"');
}

musiclibrary::ArtworkCollectionPtr FakeTrack::Artwork() {
    failIf(failing, u"Artwork"_s);
    return std::make_shared<FakeArtworkCollection>(shared_from_this());
}

musiclibrary::ArtworkPtr FakeTrack::AddArtworkFromFile(const QString& imagePath) {
    const QByteArray bytes = imageBytes(imagePath);
    FakeArtworkPtr picture = addPicture();
    picture->bytes = bytes;
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
    std::vector<QByteArray> added;
    for (const QString& path : edit.addImagePaths)
        added.push_back(imageBytes(path));
    std::vector<FakeArtworkPtr> kept;
    for (size_t i = 0; i < artwork.size(); ++i)
        if (!edit.removePositions.contains(int(i) + 1))
            kept.push_back(artwork[i]);
    artwork = std::move(kept);
    for (const QByteArray& bytes : added)
        addPicture()->bytes = bytes;
}

QList<QByteArray> FakeTrack::ArtworkData() {
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
