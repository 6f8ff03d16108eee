// Opening a library XML file exported by a desktop player, as written on
// another machine.

#include "tests/musiclibrary/LibraryTestSupport.h"

#include "musiclibrary/PlistLibrary.h"
#include "musiclibrary/TrackLocation.h"

#include <QFile>
#include <QFileInfo>

#include <tuple>

using namespace musiclibrary;
using namespace testing_support;
using namespace Qt::StringLiterals;

namespace {

const QString windowsMusic = u"file://localhost/C:/Users/x/Music/iTunes/iTunes%20Media/"_s;

QString trackDict(int id, const QString& name, const QString& extra) {
    return u"<key>%1</key><dict><key>Track ID</key><integer>%1</integer>"
           u"<key>Name</key><string>%2</string>%3</dict>\n"_s.arg(QString::number(id), name, extra);
}

QByteArray plist(const QString& tracks, const QString& playlists = {}) {
    return (u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            u"<!DOCTYPE plist PUBLIC \"-//Apple Computer//DTD PLIST 1.0//EN\" "
            u"\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
            u"<plist version=\"1.0\"><dict>"
            u"<key>Major Version</key><integer>1</integer>"
            u"<key>Music Folder</key><string>"_s +
            windowsMusic + u"</string><key>Tracks</key><dict>\n"_s + tracks +
            u"</dict><key>Playlists</key><array>"_s + playlists + u"</array></dict></plist>\n"_s)
        .toUtf8();
}

// Each level of entities multiplies the text by ten: a billion copies of it
// unless the reader stops the expansion.
QByteArray entityExpansionBomb() {
    QByteArray bomb = "<?xml version=\"1.0\"?><!DOCTYPE plist [<!ENTITY a \"aaaaaaaaaa\">";
    for (char level = 'b'; level <= 'i'; ++level) {
        const QByteArray below = QByteArray("&") + char(level - 1) + ';';
        bomb += QByteArray("<!ENTITY ") + level + " \"" + below.repeated(10) + "\">";
    }
    return bomb + "]><plist><dict><key>Tracks</key><dict><key>1</key><dict>"
                  "<key>Name</key><string>&i;</string></dict></dict></dict></plist>";
}

class PlistLibraryTest : public LibraryTest {
protected:
    QString writeLibrary(const QByteArray& content) const {
        const QString path = music().file(u"iTunes/iTunes Music Library.xml"_s);
        writeFile(path, content);
        return path;
    }
};

TEST_F(PlistLibraryTest, ReadsTracksInFileOrderWithRemappedLocations) {
    // The songs live below the library file's folder here, as they did below
    // the old machine's music folder.
    const QString below = makeSong(music(), u"iTunes/Music/Band/Album/01 One.mp3"_s,
                                   {u"Tag title"_s, {}, {}, 0}, {u"cover-75.jpg"_s});
    const QString belowMedia = makeSong(
        music(), u"iTunes/iTunes Media/Music/Band/Album/02 Två.m4a"_s, {u"Two"_s, {}, {}, 0});
    const QString path = writeLibrary(plist(
        trackDict(200, u"Zeta &amp; One"_s,
                  u"<key>Artist</key><string>Band</string><key>Album</key><string>Album</string>"
                  u"<key>Track Number</key><integer>1</integer>"
                  u"<key>Kind</key><string>MPEG audio file</string>"
                  u"<key>Persistent ID</key><string>F00DFACE92345678</string>"
                  u"<key>Location</key><string>"_s +
                      windowsMusic + u"Music/Band/Album/01%20One.mp3</string>"_s) +
        trackDict(100, u"Two"_s,
                  u"<key>Persistent ID</key><string>0000000A0000000B</string>"
                  u"<key>Location</key><string>"_s +
                      windowsMusic + u"Music/Band/Album/02%20Tv%C3%A5.m4a</string>"_s) +
        trackDict(300, u"Gone"_s,
                  u"<key>Location</key><string>"_s + windowsMusic +
                      u"Music/Band/Album/03%20Gone.mp3</string>"_s) +
        trackDict(400, u"Radio"_s, u"<key>Kind</key><string>Internet audio stream</string>"_s)));

    const ITunesPtr library = open(path);
    const QList<TrackPtr> tracks = allTracks(*library);
    ASSERT_EQ(trackNames(*library),
              QStringList({u"Zeta & One"_s, u"Two"_s, u"Gone"_s, u"Radio"_s}));
    EXPECT_EQ(tracks[0]->Location(), below);
    EXPECT_EQ(tracks[0]->Artist(), u"Band"_s);
    EXPECT_EQ(tracks[0]->TrackNumber(), 1);
    EXPECT_EQ(tracks[0]->Artwork()->Count(), 1);
    EXPECT_EQ(tracks[1]->Location(), belowMedia);
    EXPECT_EQ(tracks[1]->KindAsString(), u"AAC audio file"_s); // from the file: none listed
    EXPECT_EQ(tracks[2]->Location(), music().path() + u"/iTunes/Music/Band/Album/03 Gone.mp3"_s);
    EXPECT_EQ(libraryErrorOf([&] { tracks[2]->Artwork()->Count(); }).number(),
              LibraryError::NotFound);
    EXPECT_TRUE(tracks[3]->Location().isEmpty());
    EXPECT_EQ(libraryErrorOf([&] { tracks[3]->Artwork()->Count(); }).number(),
              LibraryError::NotFound);

    EXPECT_EQ(persistentId(*library, tracks[0]), 0xF00DFACE92345678ull);
    // The high bit makes both halves negative.
    EXPECT_EQ(library->LibraryPlaylist()
                  ->Tracks()
                  ->ItemByPersistentID(int32_t(0xF00DFACE), int32_t(0x92345678))
                  ->Name(),
              u"Zeta & One"_s);
    EXPECT_EQ(persistentId(*library, tracks[1]), 0x0000000A0000000Bull);
    // Tracks without an id get one that stays the same across openings.
    const quint64 assigned = persistentId(*library, tracks[2]);
    EXPECT_NE(assigned, 0u);
    const ITunesPtr reopened = open(path);
    EXPECT_EQ(persistentId(*reopened, allTracks(*reopened)[2]), assigned);
}

TEST_F(PlistLibraryTest, UserPlaylistsAreListedAndReadOnly) {
    const QString items =
        u"<key>Playlist Items</key><array><dict><key>Track ID</key><integer>2</integer></dict>"
        u"<dict><key>Track ID</key><integer>1</integer></dict>"
        u"<dict><key>Track ID</key><integer>99</integer></dict></array>"_s;
    const QString path = writeLibrary(plist(
        trackDict(1, u"One"_s, {}) + trackDict(2, u"Two"_s, {}),
        u"<dict><key>Name</key><string>Library</string><key>Master</key><true/>"_s + items +
            u"</dict><dict><key>Name</key><string>Music</string>"
            u"<key>Distinguished Kind</key><integer>4</integer>"_s +
            items + u"</dict><dict><key>Name</key><string>Mine</string>"_s + items + u"</dict>"_s));
    const ITunesPtr library = open(path);
    const PlaylistCollectionPtr playlists = library->LibrarySource()->Playlists();
    ASSERT_EQ(playlists->Count(), 1);
    const PlaylistPtr mine = playlists->ItemByName(u"Mine"_s);
    ASSERT_TRUE(mine);
    const TrackCollectionPtr tracks = mine->Tracks();
    ASSERT_EQ(tracks->Count(), 2);
    EXPECT_EQ(tracks->Item(1)->Name(), u"Two"_s);
    EXPECT_EQ(libraryErrorOf([&] { mine->Delete(); }).number(), LibraryError::Unsupported);
    EXPECT_FALSE(playlists->ItemByName(u"Music"_s));
}

// Each file is refused as unreadable, with a description naming it and why.
TEST_F(PlistLibraryTest, MalformedFilesFailWithClearDescription) {
    const QList<std::tuple<const char*, QByteArray, QString>> files{
        {"truncated", plist(trackDict(1, u"One"_s, {})).left(300), u"line"_s},
        {"no tracks",
         "<?xml version=\"1.0\"?><plist><dict><key>A</key><string>b</string></dict></plist>",
         u"no \"Tracks\" list"_s},
        {"not a plist", "<?xml version=\"1.0\"?><html><body/></html>", u"not a property list"_s},
        {"key without value",
         "<?xml version=\"1.0\"?><plist><dict><key>Tracks</key></dict></plist>", u"has no value"_s},
        {"entity expansion bomb", entityExpansionBomb(), u"line"_s},
        {"value too long", plist(trackDict(1, QString(65 * 1024, u'x'), {})),
         u"longer than 65536 characters"_s},
        {"key too long",
         plist(trackDict(1, u"One"_s,
                         u"<key>"_s + QString(65 * 1024, u'k') + u"</key><string>v</string>"_s)),
         u"longer than 65536 characters"_s},
        {"mismatched tags",
         "<?xml version=\"1.0\"?><plist><dict><key>Tracks</key><dict></array></dict></plist>",
         u"line 1"_s}};
    for (const auto& [label, content, reason] : files) {
        SCOPED_TRACE(label);
        const QString path = writeLibrary(content);
        const LibraryError error = libraryErrorOf([&] { open(path); });
        EXPECT_EQ(error.number(), LibraryError::Unreadable);
        EXPECT_TRUE(error.description().contains(path)) << error.description().toStdString();
        EXPECT_TRUE(error.description().contains(reason)) << error.description().toStdString();
    }
}

// The same small library, read under limits it just fits and limits it just
// goes beyond.
TEST_F(PlistLibraryTest, RefusesWhatGoesBeyondALimit) {
    const QString items = u"<key>Playlist Items</key><array><dict><key>Track ID</key>"
                          u"<integer>1</integer></dict><dict><key>Track ID</key>"
                          u"<integer>2</integer></dict></array>"_s;
    const QString path = writeLibrary(
        plist(trackDict(1, u"One"_s, {}) + trackDict(2, u"Two"_s, {}),
              u"<dict><key>Name</key><string>A</string>"_s + items +
                  u"</dict><dict><key>Name</key><string>B</string>"_s + items + u"</dict>"_s));
    const PlistLibrary library = readPlistLibrary(path, {QFileInfo(path).size(), 100, 2, 2, 4});
    EXPECT_EQ(library.tracks.size(), 2);
    EXPECT_EQ(library.playlists.size(), 2);

    const QList<std::pair<PlistLimits, QString>> limits{
        {{100, 100, 2, 2, 4}, u"larger than"_s},
        {{1 << 20, 3, 2, 2, 4}, u"longer than 3"_s},
        {{1 << 20, 100, 1, 2, 4}, u"more than 1 tracks"_s},
        {{1 << 20, 100, 2, 1, 4}, u"more than 1 playlists"_s},
        {{1 << 20, 100, 2, 2, 3}, u"playlists list more than 3"_s}};
    for (const auto& [limit, reason] : limits) {
        SCOPED_TRACE(reason.toStdString());
        const LibraryError error = libraryErrorOf([&] { readPlistLibrary(path, limit); });
        EXPECT_EQ(error.number(), LibraryError::Unreadable);
        EXPECT_TRUE(error.description().contains(path));
        EXPECT_TRUE(error.description().contains(reason)) << error.description().toStdString();
    }
}

TEST_F(PlistLibraryTest, ExternalEntityIsNeverRead) {
    const QString secret = music().file(u"secret.txt"_s);
    writeFile(secret, "private words");
    const QByteArray content = "<?xml version=\"1.0\"?><!DOCTYPE plist [<!ENTITY x SYSTEM \"" +
                               QFile::encodeName(secret) +
                               "\">]><plist><dict><key>Tracks</key><dict><key>1</key><dict>"
                               "<key>Name</key><string>&x;</string></dict></dict></dict></plist>";
    const QString path = writeLibrary(content);
    try {
        const ITunesPtr library = open(path);
        for (const TrackPtr& track : allTracks(*library))
            EXPECT_FALSE(track->Name().contains(u"private"_s));
    } catch (const LibraryError& error) {
        EXPECT_TRUE(error.description().contains(path)) << error.description().toStdString();
        EXPECT_FALSE(error.description().contains(u"private"_s));
    }
}

TEST(FileUrl, DecodesToAPathOrNothing) {
    const QList<std::pair<QString, QString>> urls{
        {u"file://localhost/C:/Users/x/My%20Music/a.mp3"_s, u"C:/Users/x/My Music/a.mp3"_s},
        {u"file:///home/x/M%C3%BAsica/b.m4a"_s, u"/home/x/Música/b.m4a"_s},
        {u"file://server/share/c.mp3"_s, u"//server/share/c.mp3"_s},
        {u"http://radio.example/stream"_s, QString()},
        {QString(), QString()}};
    for (const auto& [url, path] : urls)
        EXPECT_EQ(pathOfFileUrl(url), path) << url.toStdString();
}

} // namespace
