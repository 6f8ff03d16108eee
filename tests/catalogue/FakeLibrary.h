#pragma once

// An in-memory music library for catalogue tests: tracks with settable
// properties and pictures, and failures injected per call by name.

#include "musiclibrary/ITunes.h"

#include <QByteArray>
#include <QSet>
#include <QString>

#include <memory>
#include <vector>

namespace fake {

using musiclibrary::LibraryError;

// Throws a LibraryError naming what when failing holds it.
void failIf(const QSet<QString>& failing, const QString& what);

// Gives value, or throws as failIf does when failing names what.
template <typename T> T answer(const QSet<QString>& failing, const char* what, const T& value) {
    failIf(failing, QString::fromLatin1(what));
    return value;
}

class FakeArtwork : public musiclibrary::IITArtwork {
public:
    int format = musiclibrary::ITArtworkFormatJPEG;
    bool downloaded = false;
    QByteArray bytes = QByteArrayLiteral("\xFF\xD8\xFF picture");
    // "IsDownloadedArtwork", "SaveArtworkToFile"
    QSet<QString> failing;

    void Delete() override {}
    void SaveArtworkToFile(const QString& path) override;
    int Format() override { return format; }
    bool IsDownloadedArtwork() override {
        return answer(failing, "IsDownloadedArtwork", downloaded);
    }
};
using FakeArtworkPtr = std::shared_ptr<FakeArtwork>;

class FakeTrack : public musiclibrary::IITTrack, public std::enable_shared_from_this<FakeTrack> {
public:
    QString name, album, artist, kind = QStringLiteral("MPEG audio file"), location;
    int trackNumber = 0;
    int32_t high = 0, low = 0;
    std::vector<FakeArtworkPtr> artwork;
    // Property or call names: "Name", "Album", "Artist", "TrackNumber",
    // "KindAsString", "Location", "Artwork", "Artwork.Count", "PersistentIDs".
    QSet<QString> failing;
    bool deleted = false;

    QString Name() const override { return answer(failing, "Name", name); }
    QString Album() const override { return answer(failing, "Album", album); }
    QString Artist() const override { return answer(failing, "Artist", artist); }
    int TrackNumber() const override { return answer(failing, "TrackNumber", trackNumber); }
    QString KindAsString() const override { return answer(failing, "KindAsString", kind); }
    QString Location() const override { return answer(failing, "Location", location); }
    musiclibrary::ArtworkCollectionPtr Artwork() override;
    musiclibrary::ArtworkPtr AddArtworkFromFile(const QString& imagePath) override;
    void SetDownloadedArtworkFromFile(const QString& imagePath) override;
    // All or nothing, like the engine: an unreadable image changes nothing.
    void EditArtwork(const musiclibrary::ArtworkEdit& edit) override;
    QList<QByteArray> ArtworkData() override;

    FakeArtworkPtr addPicture(int format = musiclibrary::ITArtworkFormatJPEG,
                              bool downloaded = false);
};
using FakeTrackPtr = std::shared_ptr<FakeTrack>;

// A user playlist that remembers what was added to it.
class FakeUserPlaylist : public musiclibrary::IITUserPlaylist {
public:
    QString name;
    std::vector<musiclibrary::TrackPtr> added;
    QString Name() const override { return name; }
    musiclibrary::TrackCollectionPtr Tracks() override;
    void Delete() override {}
    void AddTrack(const musiclibrary::TrackPtr& track) override { added.push_back(track); }
};

class FakeLibrary : public musiclibrary::IiTunes, public std::enable_shared_from_this<FakeLibrary> {
public:
    std::vector<FakeTrackPtr> tracks;
    // "LibraryPlaylist", "Tracks.Count", "Item:<n>"
    QSet<QString> failing;
    // Every playlist CreatePlaylist made, in order.
    std::vector<std::shared_ptr<FakeUserPlaylist>> createdPlaylists;

    // A track with the given values, appended to the library; ids count up
    // from 1 unless set afterwards.
    FakeTrackPtr addTrack(const QString& name, const QString& location,
                          const QString& artist = QStringLiteral("Artist"),
                          const QString& album = QStringLiteral("Album"), int number = 1);

    musiclibrary::PlaylistPtr LibraryPlaylist() override;
    musiclibrary::SourcePtr LibrarySource() override;
    musiclibrary::UserPlaylistPtr CreatePlaylist(const QString& name) override;
    void GetITObjectPersistentIDs(const musiclibrary::TrackPtr& track, int32_t& high,
                                  int32_t& low) override;

private:
    int32_t m_nextId = 1;
};
using FakeLibraryPtr = std::shared_ptr<FakeLibrary>;

} // namespace fake
