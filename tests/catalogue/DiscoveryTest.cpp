#include "catalogue/Discovery.h"
#include "catalogue/PathOps.h"
#include "catalogue/TempArtwork.h"
#include "catalogue/TrackCatalogue.h"
#include "support/AppData.h"
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

// A folder holding the given empty files; returns it with a trailing "/".
QString folderWith(const TempFolder& temp, const QStringList& names) {
    for (const QString& name : names)
        writeFile(temp.file(u"album/"_s + name), QByteArray("x"));
    QDir().mkpath(temp.path() + u"/album"_s);
    return temp.path() + u"/album/"_s;
}

} // namespace

struct FolderCase {
    const char* what;
    QStringList names;
    bool withGuid;
    ArtTypes expected;
};

class FolderArtTypesTest : public ::testing::TestWithParam<FolderCase> {};

TEST_P(FolderArtTypesTest, CountsTheKindsOfARealFolder) {
    TempFolder temp;
    const QString folder = folderWith(temp, GetParam().names);
    const QStringList listed = ListFolderFiles(folder);
    EXPECT_EQ(FolderArtTypes(listed, GetParam().withGuid ? kGuid.toLower() : QString()),
              GetParam().expected)
        << GetParam().what;
}

const QString wmpLarge = u"AlbumArt_{"_s + kGuid + u"}_Large.jpg"_s;
const QString wmpSmall = u"AlbumArt_{"_s + kGuid + u"}_Small.jpg"_s;

INSTANTIATE_TEST_SUITE_P(
    Kinds, FolderArtTypesTest,
    ::testing::Values(
        FolderCase{"Folder.JPG and the album's WMP images",
                   {u"Folder.JPG"_s, wmpLarge, wmpSmall},
                   true,
                   4 + 16 + 32},
        FolderCase{"the same without GUID", {u"Folder.JPG"_s, wmpLarge, wmpSmall}, false, 4},
        FolderCase{"every case of folder.jpg", {u"fOLDER.jpg"_s}, false, 4},
        FolderCase{"AlbumArtSmall", {u"AlbumArtSmall.jpg"_s}, false, 8},
        FolderCase{"cover.jpeg alone", {u"cover.jpeg"_s}, false, 0},
        FolderCase{"scan.PNG", {u"scan.PNG"_s}, false, 64},
        FolderCase{"back.bmp", {u"back.bmp"_s}, false, 64},
        FolderCase{"BACKUP.TMP", {u"BACKUP.TMP"_s}, false, 128},
        FolderCase{"backup.tmp.jpg", {u"backup.tmp.jpg"_s}, false, 64},
        FolderCase{"quill picture", {u"quill - x.jpg"_s}, false, 64},
        FolderCase{"hidden picture", {u".hidden.png"_s}, false, 64},
        FolderCase{"another album's WMP image", {wmpLarge}, false, 0},
        FolderCase{
            "WMP prefix without a known ending", {u"AlbumArt_{"_s + kGuid + u"}_x.jpg"_s}, true, 0},
        FolderCase{"songs and text", {u"a.mp3"_s, u"notes.txt"_s}, false, 0}));

TEST(ListFolderFiles, ListsPlainAndHiddenFilesSortedWithoutFolders) {
    TempFolder temp;
    const QString folder = folderWith(temp, {u"b.jpg"_s, u".hidden"_s, u"A.png"_s});
    QDir().mkpath(folder + u"sub.jpg"_s);
    EXPECT_EQ(ListFolderFiles(folder), (QStringList{u".hidden"_s, u"A.png"_s, u"b.jpg"_s}));
}

TEST(ListFolderFiles, ListsNothingForWhatIsNoReadableFolder) {
    TempFolder temp;
    writeFile(temp.file(u"plain"_s), "x");
    EXPECT_TRUE(ListFolderFiles(temp.path() + u"/plain/"_s).isEmpty());
    EXPECT_TRUE(ListFolderFiles(temp.path() + u"/vanished/"_s).isEmpty());
    EXPECT_TRUE(ListFolderFiles(QString()).isEmpty());
}

TEST(PathOps, ANameWithANulNamesNothingRatherThanItsStart) {
    // "%00" in a library file's location decodes to a NUL; the file system
    // would see only the text before it, an existing folder.
    TempFolder temp;
    const QString folder = folderWith(temp, {u"folder.jpg"_s});
    const QString withNul = folder + QChar(u'\0') + u"song.mp3"_s;
    ASSERT_TRUE(PathExists(folder));
    EXPECT_FALSE(PathExists(withNul));
    EXPECT_TRUE(ListFolderFiles(withNul + u'/').isEmpty());
    EXPECT_TRUE(ListFolderFiles(folder + QChar(u'\0')).isEmpty());
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

TEST(ResolveNamedFile, FindsTheFileWhateverItsCase) {
    TempFolder temp;
    const QString folder = folderWith(temp, {u"FOLDER.JPG"_s, u"other.jpg"_s});
    EXPECT_EQ(ResolveNamedFile(folder, u"Folder.jpg"_s), folder + u"FOLDER.JPG"_s);
    EXPECT_EQ(ResolveNamedFile(folder, u"AlbumArtSmall.jpg"_s), folder + u"AlbumArtSmall.jpg"_s);
    EXPECT_EQ(FindNamedFile({u"a"_s, u"Folder.jpg"_s, u"folder.JPG"_s}, u"FOLDER.jpg"_s),
              u"Folder.jpg"_s);
}

struct GuidCase {
    const char* what;
    QStringList names;
    QString guid;
};

class WmpGuidTest : public ::testing::TestWithParam<GuidCase> {};

TEST_P(WmpGuidTest, TakesTheGuidOfTheFirstMatchingName) {
    TempFolder temp;
    const QString folder = folderWith(temp, GetParam().names);
    TrackRecord record;
    record.Location = folder + u"song.mp3"_s;
    FindWmpGuid(record);
    EXPECT_EQ(record.WmpGuidLcase, GetParam().guid) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Names, WmpGuidTest,
    ::testing::Values(
        GuidCase{"large image", {wmpLarge, u"Folder.jpg"_s}, kGuid.toLower()},
        GuidCase{"lower-case name", {wmpSmall.toLower()}, kGuid.toLower()},
        GuidCase{"57 characters without }_", {u"AlbumArt_{"_s + kGuid + u"]_Large.jpg"_s}, {}},
        GuidCase{"lookalike first in order", {u"AlbumArt_{0-short}_Large.jpg"_s, wmpLarge}, {}},
        GuidCase{"no WMP image", {u"Folder.jpg"_s}, {}}));

TEST(FindWmpGuid, KeepsAKnownGuidAndIgnoresARecordWithoutLocation) {
    int listings = 0;
    const FolderLister counting = [&](const QString&) {
        ++listings;
        return QStringList{wmpLarge};
    };
    TrackRecord record;
    FindWmpGuid(record, counting);
    EXPECT_EQ(listings, 0);
    record.Location = u"/m/a.mp3"_s;
    record.WmpGuidLcase = u"known"_s;
    FindWmpGuid(record, counting);
    EXPECT_EQ(listings, 0);
    EXPECT_EQ(record.WmpGuidLcase, u"known"_s);
}

TEST(OtherImageNames, GathersByItsOwnRule) {
    const QStringList names = {u"AlbumArtSmall.jpg"_s, wmpLarge,        u"back.BMP"_s,
                               u"cover.jpeg"_s,        u"folder.jpg"_s, u"quill - x.jpg"_s,
                               u"song.mp3"_s,          u"z.png"_s};
    EXPECT_EQ(OtherImageNames(names),
              (QStringList{u"AlbumArtSmall.jpg"_s, u"back.BMP"_s, u"cover.jpeg"_s, u"z.png"_s}));
}

TEST(CollectOtherImages, FillsTheRecordFromTheTracksFolder) {
    TempFolder temp;
    const QString folder = folderWith(temp, {u"cover.jpeg"_s, u"Folder.jpg"_s});
    auto library = std::make_shared<fake::FakeLibrary>();
    fake::FakeTrackPtr track = library->addTrack(u"s"_s, folder + u"s.mp3"_s);
    TrackCatalogue catalogue;
    catalogue.EnsureCapacity(1);
    catalogue[1].OtherImages = QStringList{u"stale.jpg"_s};
    CollectOtherImages(catalogue, 1, track);
    EXPECT_EQ(catalogue[1].OtherImages, QStringList{u"cover.jpeg"_s});
    track->location.clear();
    CollectOtherImages(catalogue, 1, track);
    EXPECT_TRUE(catalogue[1].OtherImages.isEmpty());
    CollectOtherImages(catalogue, 7, track); // no such record: nothing happens
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

struct KindCase {
    QString location;
    QString kind;
    bool accepted;
};

class FileKindTest : public ::testing::TestWithParam<KindCase> {};

TEST_P(FileKindTest, AcceptsByExtensionOrKind) {
    auto library = std::make_shared<fake::FakeLibrary>();
    fake::FakeTrackPtr track = library->addTrack(u"s"_s, GetParam().location);
    track->kind = GetParam().kind;
    EXPECT_EQ(FileKindSupportsEmbedding(track), GetParam().accepted)
        << GetParam().location.toStdString() << " / " << GetParam().kind.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Files, FileKindTest,
    ::testing::Values(KindCase{u"/m/a.wav"_s, u" AIFF Audio File "_s, true},
                      KindCase{u"/m/a.wma"_s, u"Windows Media audio file"_s, false},
                      KindCase{u"/m/a.MP3"_s, u""_s, true},
                      KindCase{u"/m/a.m4p"_s, u"Protected AAC audio file"_s, true},
                      KindCase{u"/m/a.wv"_s, u"Apple Lossless audio file"_s, true},
                      // Linux libraries: FLAC, Ogg Vorbis and Opus, by name or by kind.
                      KindCase{u"/m/a.FLAC"_s, u""_s, true}, KindCase{u"/m/a.ogg"_s, u""_s, true},
                      KindCase{u"/m/a.oga"_s, u""_s, true}, KindCase{u"/m/a.opus"_s, u""_s, true},
                      KindCase{u"/m/a.spx"_s, u"Opus audio file"_s, true},
                      KindCase{u"/m/a.mka"_s, u"FLAC audio file"_s, true},
                      KindCase{u"/m/a.mka"_s, u" ogg vorbis AUDIO file"_s, true},
                      // WAV songs stay where the design puts them.
                      KindCase{u"/m/a.wav"_s, u"WAV audio file"_s, false},
                      KindCase{u"/m/noextension"_s, u"MPEG audio file"_s, false},
                      KindCase{u""_s, u"MPEG audio file"_s, false}));

TEST(FileKindSupportsEmbedding, TakesAnUnreadableKindAsNone) {
    auto library = std::make_shared<fake::FakeLibrary>();
    fake::FakeTrackPtr track = library->addTrack(u"s"_s, u"/m/a.wav"_s);
    track->failing.insert(u"KindAsString"_s);
    EXPECT_FALSE(FileKindSupportsEmbedding(track));
    track->location = u"/m/a.mp3"_s;
    EXPECT_TRUE(FileKindSupportsEmbedding(track));
}

TEST(PathOps, FolderAndBackslashRules) {
    EXPECT_EQ(FolderOfPath(u"/m/a/song.mp3"_s), u"/m/a/"_s);
    EXPECT_EQ(FolderOfPath(u"/m/a/"_s), u"/m/a/"_s);
    EXPECT_EQ(FolderOfPath(u"song.mp3"_s), u"song.mp3/"_s);
    EXPECT_EQ(FolderOfPath(QString()), QString());
    EXPECT_EQ(AddBackslash(u"  /m/a "_s), u"/m/a/"_s);
    EXPECT_EQ(AddBackslash(u"/m/"_s), u"/m/"_s);
    EXPECT_EQ(AddBackslash(u"  "_s), QString());
    EXPECT_EQ(PathForDisplay(u"/m/a/song.mp3"_s), u"/m/a/ song.mp3"_s);
    EXPECT_EQ(PathForDisplay(u"song.mp3"_s), u"song.mp3"_s);
    EXPECT_EQ(PathForDisplay(QString()), QString());
}

TEST(PathOps, TrackLocationIsTrimmedAndEmptyOnFailure) {
    auto library = std::make_shared<fake::FakeLibrary>();
    fake::FakeTrackPtr track = library->addTrack(u"s"_s, u"  /m/a.mp3 "_s);
    EXPECT_EQ(TrackLocation(track), u"/m/a.mp3"_s);
    track->failing.insert(u"Location"_s);
    EXPECT_EQ(TrackLocation(track), QString());
    EXPECT_EQ(TrackLocation(nullptr), QString());
}

TEST(PathOps, MakeFolderPathCreatesEveryLevel) {
    TempFolder temp;
    EXPECT_FALSE(PathExists(temp.path() + u"/x"_s));
    EXPECT_TRUE(MakeFolderPath(temp.path() + u"/x/y/z"_s));
    EXPECT_TRUE(QFileInfo(temp.path() + u"/x/y/z"_s).isDir());
    writeFile(temp.file(u"file"_s), "x");
    EXPECT_FALSE(MakeFolderPath(temp.path() + u"/file/below"_s));
    EXPECT_FALSE(MakeFolderPath(QString()));
    EXPECT_FALSE(PathExists(QString()));
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

TEST(TempArtwork, DefaultsToTheApplicationDataFolder) {
    auto library = std::make_shared<fake::FakeLibrary>();
    fake::FakeTrackPtr track = library->addTrack(u"s"_s, u"/m/s.mp3"_s);
    track->addPicture(3)->bytes = "bmp bytes";
    const QString path = SaveEmbeddedArtworkToTemp(track, 1);
    EXPECT_EQ(path, support::AppDataFolder() + u"Temp-Embedded.BMP"_s);
    EXPECT_EQ(testing_support::readFile(path), "bmp bytes");
}

TEST(FolderFactsCache, ListsEachFolderOnceWithTheOneTrackResults) {
    TempFolder temp;
    const QString folder = folderWith(temp, {wmpLarge, u"cover.png"_s, u"Folder.jpg"_s});
    int listings = 0;
    FolderFactsCache cache([&](const QString& f) {
        ++listings;
        return ListFolderFiles(f);
    });
    const QString other = temp.path() + u"/none/"_s;
    for (int round = 0; round < 3; ++round) {
        EXPECT_EQ(cache.wmpGuid(folder), kGuid.toLower());
        EXPECT_EQ(cache.folderArtTypes(folder, kGuid.toLower()), 4 + 32 + 64);
        EXPECT_EQ(cache.folderArtTypes(folder, {}), 4 + 64);
        EXPECT_EQ(cache.otherImages(folder), QStringList{u"cover.png"_s});
        EXPECT_EQ(cache.folderArtTypes(other, {}), 0);
    }
    EXPECT_EQ(listings, 2);
    EXPECT_EQ(cache.listings(), 2);
}
