#include "catalogue/Discovery.h"
#include "catalogue/PathOps.h"
#include "catalogue/TempArtwork.h"
#include "tests/catalogue/FakeLibrary.h"
#include "tests/common/TestFiles.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace catalogue;
using testing_support::TempFolder;
using testing_support::writeFile;

namespace {

const QString kGuid = u"0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0"_s;
const QString wmpLarge = u"AlbumArt_{"_s + kGuid + u"}_Large.jpg"_s;
const QString wmpSmall = u"AlbumArt_{"_s + kGuid + u"}_Small.jpg"_s;

// A folder holding the given files; returns it with a trailing "/".
QString folderWith(const TempFolder& temp, const QStringList& names) {
    for (const QString& name : names)
        writeFile(temp.file(u"album/"_s + name), QByteArray("x"));
    QDir().mkpath(temp.path() + u"/album"_s);
    return temp.path() + u"/album/"_s;
}

} // namespace

TEST(FolderArtTypes, CountsTheKindsOfTheFolderFiles) {
    const struct {
        QStringList names;
        bool withGuid;
        ArtTypes expected;
    } cases[] = {
        {{u"Folder.JPG"_s, wmpLarge, wmpSmall}, true, 4 + 16 + 32},
        {{u"Folder.JPG"_s, wmpLarge, wmpSmall}, false, 4},
        {{u"fOLDER.jpg"_s}, false, 4},
        {{u"AlbumArtSmall.jpg"_s}, false, 8},
        {{u"cover.jpeg"_s}, false, 0},
        {{u"scan.PNG"_s}, false, 64},
        {{u"back.bmp"_s}, false, 64},
        {{u"BACKUP.TMP"_s}, false, 128},
        {{u"backup.tmp.jpg"_s}, false, 64},
        {{u"quill - x.jpg"_s}, false, 64},
        {{u".hidden.png"_s}, false, 64},
        {{wmpLarge}, false, 0}, // another album's WMP image
        {{u"AlbumArt_{"_s + kGuid + u"}_x.jpg"_s}, true, 0},
        {{u"a.mp3"_s, u"notes.txt"_s}, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.names.join(u", "_s).toStdString());
        EXPECT_EQ(FolderArtTypes(c.names, c.withGuid ? kGuid.toLower() : QString()), c.expected);
    }
}

TEST(WmpGuidFromNames, TakesTheGuidOfTheFirstMatchingName) {
    const std::pair<QStringList, QString> cases[] = {
        {{wmpLarge, u"Folder.jpg"_s}, kGuid.toLower()},
        {{wmpSmall.toLower()}, kGuid.toLower()},
        {{u"AlbumArt_{"_s + kGuid + u"]_Large.jpg"_s}, {}},
        {{u"AlbumArt_{0-short}_Large.jpg"_s, wmpLarge}, {}},
        {{u"Folder.jpg"_s}, {}},
    };
    for (const auto& [names, guid] : cases)
        EXPECT_EQ(WmpGuidFromNames(names), guid) << names.join(u", "_s).toStdString();
}

TEST(ListFolderFiles, ListsPlainAndHiddenFilesSortedWithoutFolders) {
    TempFolder temp;
    const QString folder = folderWith(temp, {u"b.jpg"_s, u".hidden"_s, u"A.png"_s});
    QDir().mkpath(folder + u"sub.jpg"_s);
    EXPECT_EQ(ListFolderFiles(folder), (QStringList{u".hidden"_s, u"A.png"_s, u"b.jpg"_s}));
}

TEST(ListFolderFiles, ListsNothingForWhatIsNoReadableFolder) {
    TempFolder temp;
    const QString folder = folderWith(temp, {u"folder.jpg"_s});
    // "%00" in a library file's location decodes to a NUL; the file system
    // would see only the text before it, an existing folder.
    const QString withNul = folder + QChar(u'\0') + u"song.mp3"_s;
    ASSERT_TRUE(PathExists(folder));
    EXPECT_FALSE(PathExists(withNul));
    for (const QString& what :
         QStringList{temp.path() + u"/album/folder.jpg/"_s, temp.path() + u"/vanished/"_s,
                     QString(), withNul + u'/', folder + QChar(u'\0')})
        EXPECT_TRUE(ListFolderFiles(what).isEmpty()) << what.toStdString();
}

TEST(ListFolderFiles, KeepsANameThatIsNotUtf8) {
    TempFolder temp;
    const QByteArray raw = QFile::encodeName(temp.path()) + "/caf\xE9.jpg";
    {
        FILE* handle = std::fopen(raw.constData(), "w");
        ASSERT_NE(handle, nullptr);
        std::fclose(handle);
    }
    const QStringList names = ListFolderFiles(temp.path() + u'/');
    ASSERT_EQ(names.size(), 1);
    EXPECT_TRUE(names.first().endsWith(u".jpg"_s));
    EXPECT_EQ(FolderArtTypes(names, QString()), ArtKindOther);
}

TEST(OtherImageNames, GathersByItsOwnRule) {
    const QStringList names = {u"AlbumArtSmall.jpg"_s, wmpLarge,        u"back.BMP"_s,
                               u"cover.jpeg"_s,        u"folder.jpg"_s, u"quill - x.jpg"_s,
                               u"song.mp3"_s,          u"z.png"_s};
    EXPECT_EQ(OtherImageNames(names),
              (QStringList{u"AlbumArtSmall.jpg"_s, u"back.BMP"_s, u"cover.jpeg"_s, u"z.png"_s}));
}

TEST(DiscoverArtTypes, AddsTheLibrarysPicturesToTheFolders) {
    TempFolder temp;
    const QString folder = folderWith(temp, {u"folder.jpg"_s});
    auto library = std::make_shared<fake::FakeLibrary>();
    fake::FakeTrackPtr track = library->addTrack(u"s"_s, folder + u"s.mp3"_s);
    EXPECT_EQ(DiscoverArtTypes(track, {}), ArtKindFolderJpg);
    track->addPicture();
    EXPECT_EQ(DiscoverArtTypes(track, {}), ArtKindFolderJpg | ArtKindEmbedded);
    track->artwork.front()->downloaded = true;
    EXPECT_EQ(DiscoverArtTypes(track, {}), ArtKindFolderJpg | ArtKindDownloaded);
    // A picture whose kind cannot be asked counts as embedded.
    track->artwork.front()->failing.insert(u"IsDownloadedArtwork"_s);
    EXPECT_EQ(DiscoverArtTypes(track, {}), ArtKindFolderJpg | ArtKindEmbedded);
    track->failing.insert(u"Artwork.Count"_s);
    EXPECT_THROW(DiscoverArtTypes(track, {}), musiclibrary::LibraryError);
    EXPECT_EQ(DiscoverArtTypes(nullptr, {}), 0);
    track->location.clear();
    EXPECT_EQ(DiscoverArtTypes(track, {}), 0);
}

TEST(FirstArtworkIsDownloaded, IsFalseOnAnyFailure) {
    auto library = std::make_shared<fake::FakeLibrary>();
    fake::FakeTrackPtr track = library->addTrack(u"s"_s, u"/m/s.mp3"_s);
    EXPECT_FALSE(FirstArtworkIsDownloaded(track));
    track->addPicture(1, true);
    EXPECT_TRUE(FirstArtworkIsDownloaded(track));
    track->failing.insert(u"Artwork"_s);
    EXPECT_FALSE(FirstArtworkIsDownloaded(track));
    EXPECT_FALSE(FirstArtworkIsDownloaded(nullptr));
}

TEST(FileKindSupportsEmbedding, AcceptsByExtensionOrKind) {
    const struct {
        QString location;
        QString kind; // "!": the kind cannot be read
        bool accepted;
    } cases[] = {
        {u"/m/a.wav"_s, u" AIFF Audio File "_s, true},
        {u"/m/a.wma"_s, u"Windows Media audio file"_s, false},
        {u"/m/a.MP3"_s, u""_s, true},
        {u"/m/a.m4p"_s, u"Protected AAC audio file"_s, true},
        {u"/m/a.wv"_s, u"Apple Lossless audio file"_s, true},
        // Linux libraries: FLAC, Ogg Vorbis and Opus, by name or by kind.
        {u"/m/a.FLAC"_s, u""_s, true},
        {u"/m/a.ogg"_s, u""_s, true},
        {u"/m/a.oga"_s, u""_s, true},
        {u"/m/a.opus"_s, u""_s, true},
        {u"/m/a.spx"_s, u"Opus audio file"_s, true},
        {u"/m/a.mka"_s, u"FLAC audio file"_s, true},
        {u"/m/a.mka"_s, u" ogg vorbis AUDIO file"_s, true},
        // WAV songs stay where the design puts them.
        {u"/m/a.wav"_s, u"WAV audio file"_s, false},
        {u"/m/noextension"_s, u"MPEG audio file"_s, false},
        {u""_s, u"MPEG audio file"_s, false},
        {u"/m/a.wav"_s, u"!"_s, false},
        {u"/m/a.mp3"_s, u"!"_s, true},
    };
    auto library = std::make_shared<fake::FakeLibrary>();
    for (const auto& c : cases) {
        SCOPED_TRACE(QString(c.location + u" / "_s + c.kind).toStdString());
        fake::FakeTrackPtr track = library->addTrack(u"s"_s, c.location);
        track->kind = c.kind;
        if (c.kind == u"!"_s)
            track->failing.insert(u"KindAsString"_s);
        EXPECT_EQ(FileKindSupportsEmbedding(track), c.accepted);
    }
}

TEST(PathOps, FolderOfPathEndsWithASlash) {
    EXPECT_EQ(FolderOfPath(u"/m/a/song.mp3"_s), u"/m/a/"_s);
    EXPECT_EQ(FolderOfPath(u"/m/a/"_s), u"/m/a/"_s);
    EXPECT_EQ(FolderOfPath(u"song.mp3"_s), u"song.mp3/"_s);
    EXPECT_EQ(FolderOfPath(QString()), QString());
}

TEST(PathOps, TrackLocationIsTrimmedAndEmptyOnFailure) {
    auto library = std::make_shared<fake::FakeLibrary>();
    fake::FakeTrackPtr track = library->addTrack(u"s"_s, u"  /m/a.mp3 "_s);
    EXPECT_EQ(TrackLocation(track), u"/m/a.mp3"_s);
    track->failing.insert(u"Location"_s);
    EXPECT_EQ(TrackLocation(track), QString());
    EXPECT_EQ(TrackLocation(nullptr), QString());
}

TEST(TempArtwork, SavesUnderTheFormatsNameAndOnlyWhenTheRulesAllow) {
    TempFolder temp;
    const QString data = temp.path() + u'/';
    auto library = std::make_shared<fake::FakeLibrary>();
    fake::FakeTrackPtr track = library->addTrack(u"s"_s, u"/m/s.mp3"_s);

    EXPECT_EQ(SaveEmbeddedArtworkToTemp(track, 1, data), QString());
    track->addPicture(2, true)->bytes = "png bytes";
    EXPECT_EQ(SaveDownloadedArtworkToTemp(track, data), data + u"Temp-Downloaded.PNG"_s);
    EXPECT_EQ(testing_support::readFile(data + u"Temp-Downloaded.PNG"_s), "png bytes");

    track->addPicture(7)->bytes = "odd bytes";
    // Two pictures: no downloaded copy even though the first is downloaded art.
    EXPECT_EQ(SaveDownloadedArtworkToTemp(track, data), QString());
    EXPECT_EQ(SaveEmbeddedArtworkToTemp(track, 2, data), data + u"Temp-Embedded.UnknownFormat"_s);
    EXPECT_EQ(SaveEmbeddedArtworkToTemp(track, 3, data), QString());
    track->artwork[1]->failing.insert(u"SaveArtworkToFile"_s);
    EXPECT_EQ(SaveEmbeddedArtworkToTemp(track, 2, data), QString());
    EXPECT_THROW(SaveArtworkToTemp(track->artwork[1], data), musiclibrary::LibraryError);
    EXPECT_EQ(SaveArtworkToTemp(track->artwork[0], data), data + u"Temp-Embedded.PNG"_s);
    EXPECT_EQ(SaveArtworkToTemp(nullptr, data), QString());
}
