// One song at a time: every branch of the source rules, on real files.

#include "artwork/EmbeddingEngine.h"
#include "tests/artwork/ArtworkTestSupport.h"
#include "tests/common/FileSizeLimit.h"
#include "tests/musiclibrary/AudioFileTestFiles.h"

#include <QDir>
#include <QFile>

using namespace Qt::StringLiterals;
using namespace artwork;
using namespace testing_support;
using musiclibrary::TrackPtr;

namespace {

class EmbedTrackTest : public ArtworkLibraryTest {
protected:
    // EmbedTrack2 of the song at location with the given order.
    bool embed(const QString& location, QList<int32_t> order, EmbedParameters parameters = {},
               EmbedReport* report = nullptr, const QString& guid = {}) {
        engine().sourceOrder().assign(order);
        engine().beginRun();
        return engine().EmbedTrack2(track(location), guid, parameters, report);
    }
    void openLibraryOnly() { library = openMusic(); }
};

TEST_F(EmbedTrackTest, DownloadedArtIsLeftAloneUnlessTheUserLetsItGo) {
    const QString path = song(u"A/song.mp3"_s);
    image(u"cover-300.jpg"_s, u"A/Folder.jpg"_s);
    openLibraryOnly();
    track(path)->SetDownloadedArtworkFromFile(seedPath(u"cover-600.jpg"_s));

    EmbedReport report;
    EXPECT_FALSE(embed(path, {3}, {false, ExistingAdd, 320}, &report));
    EXPECT_EQ(report.detail, u"the song has artwork downloaded by iTunes"_s);
    // Source 2 alone never embeds, whatever DeleteDownloaded says.
    EXPECT_FALSE(embed(path, {2, 3}, {true, ExistingAdd, 320}, &report));
    EXPECT_EQ(report.detail, u"the song keeps its downloaded artwork"_s);
    EXPECT_TRUE(track(path)->Artwork()->Item(1)->IsDownloadedArtwork());
    EXPECT_TRUE(picturesOf(path).isEmpty());

    // Allowed to go, the downloaded art makes room for Folder.jpg.
    EXPECT_TRUE(embed(path, {3, 2}, {true, ExistingKeep, 320}, &report));
    EXPECT_EQ(report.imagePath, music().file(u"A/Folder.jpg"_s));
    EXPECT_EQ(picturesOf(path), QList<QByteArray>{seed("cover-300.jpg")});
    EXPECT_TRUE(QDir(dataFolder() + u"/downloaded"_s).isEmpty());
    ASSERT_EQ(track(path)->Artwork()->Count(), 1);
    EXPECT_FALSE(track(path)->Artwork()->Item(1)->IsDownloadedArtwork());
}

TEST_F(EmbedTrackTest, ExistingImagesAreKeptReplacedOrAddedTo) {
    const QString keep = song(u"A/keep.mp3"_s, {u"cover-75.jpg"_s});
    const QString replace =
        song(u"A/replace.mp3"_s, {u"cover-75.jpg"_s, u"cover-48.bmp"_s, u"cover-200.jpg"_s});
    const QString add =
        song(u"A/add.mp3"_s, {u"cover-75.jpg"_s, u"cover-48.bmp"_s, u"cover-200.jpg"_s});
    image(u"cover-600.jpg"_s, u"A/Folder.jpg"_s);
    openLibraryOnly();

    EmbedReport report;
    EXPECT_FALSE(embed(keep, {3}, {false, ExistingKeep, 320}, &report));
    EXPECT_EQ(report.detail, u"the song already has embedded artwork"_s);
    EXPECT_EQ(picturesOf(keep), QList<QByteArray>{seed("cover-75.jpg")});

    EXPECT_TRUE(embed(replace, {3}, {false, ExistingReplace, 320}));
    EXPECT_EQ(picturesOf(replace), QList<QByteArray>{seed("cover-600.jpg")});

    EXPECT_TRUE(embed(add, {3}, {false, ExistingAdd, 320}));
    EXPECT_EQ(picturesOf(add), (QList<QByteArray>{seed("cover-75.jpg"), seed("cover-48.bmp"),
                                                  seed("cover-200.jpg"), seed("cover-600.jpg")}));
}

// The walk takes the first source that finds an image; 0 or anything that
// is no source ends it. A song without pictures takes only named files.
TEST_F(EmbedTrackTest, TheSourceOrderDecidesWhichNamedFileIsTaken) {
    const struct {
        QList<int32_t> order;
        const char* expected; // nullptr: nothing embedded
    } cases[] = {
        {{1, 7, 8}, nullptr},      {{1, 7, 8, 4}, "cover-75.jpg"},
        {{5, 0, 3}, nullptr},      {{9, 3}, nullptr},
        {{-1, 4}, nullptr},        {{5, 4, 0, 3}, "cover-75.jpg"},
        {{3, 4}, "cover-300.jpg"},
    };
    image(u"cover-300.jpg"_s, u"A/Folder.jpg"_s);
    image(u"cover-75.jpg"_s, u"A/AlbumArtSmall.jpg"_s);
    image(u"cover-600.jpg"_s, u"A/cover.jpg"_s); // no named file
    QStringList paths;
    for (qsizetype i = 0; i < std::ssize(cases); ++i)
        paths.append(song(u"A/%1.mp3"_s.arg(i)));
    openLibraryOnly();
    for (qsizetype i = 0; i < std::ssize(cases); ++i) {
        SCOPED_TRACE(i);
        EmbedReport report;
        EXPECT_EQ(embed(paths[i], cases[i].order, {}, &report), cases[i].expected != nullptr);
        if (cases[i].expected)
            EXPECT_EQ(picturesOf(paths[i]), QList<QByteArray>{seed(cases[i].expected)});
        else
            EXPECT_EQ(report.detail, u"no image to embed was found"_s);
    }
}

TEST_F(EmbedTrackTest, TheSongsOwnImageClosestToTheTargetLeavesTheSongAlone) {
    const QString path = song(u"A/song.mp3"_s, {u"cover-300.jpg"_s});
    image(u"cover-600.jpg"_s, u"A/Folder.jpg"_s);
    image(u"cover-200.jpg"_s, u"A/back.jpg"_s);
    openLibraryOnly();
    const QByteArray before = readFile(path);
    EmbedReport report;
    EXPECT_FALSE(embed(path, {1, 3}, {false, ExistingAdd, 320}, &report));
    EXPECT_EQ(report.detail, u"an image of the song's own is the best image"_s);
    EXPECT_EQ(readFile(path), before);
    // The largest is a folder file: that one is embedded.
    EXPECT_TRUE(embed(path, {8}, {false, ExistingAdd, 320}, &report));
    EXPECT_EQ(report.imagePath, music().file(u"A/Folder.jpg"_s));
}

// Equal folder images: the first found, by extension (jpg, jpeg, bmp, png)
// and then by name, is used.
TEST_F(EmbedTrackTest, EqualFolderImagesAreTakenInExtensionOrder) {
    const QString path = song(u"A/song.mp3"_s, {u"cover-48.bmp"_s});
    image(u"cover-300.jpg"_s, u"A/a first by name.jpeg"_s);
    image(u"cover-300.jpg"_s, u"A/z.JPG"_s);
    image(u"cover-300.jpg"_s, u"A/y.jpg"_s);
    openLibraryOnly();
    EmbedReport report;
    EXPECT_TRUE(embed(path, {1}, {false, ExistingAdd, 320}, &report));
    EXPECT_EQ(report.imagePath, music().file(u"A/y.jpg"_s));
    // Now the song holds y.jpg's picture: on a tie its own image wins.
    EXPECT_FALSE(embed(path, {8}, {false, ExistingReplace, 320}, &report));
    EXPECT_EQ(report.detail, u"an image of the song's own is the best image"_s);
}

TEST_F(EmbedTrackTest, NamedFilesAreFoundWhateverTheirCase) {
    const QString guid = u"7a3c1e52-94b1-4c6f-9e8d-2b5f0a6c3d71"_s;
    const QString two = song(u"A/two.mp3"_s);
    image(u"cover-200.jpg"_s, u"A/folder.JPG"_s);
    const QString wmp =
        image(u"cover-600.jpg"_s, u"A/ALBUMART_{"_s + guid.toUpper() + u"}_LARGE.jpg"_s);
    openLibraryOnly();
    EmbedReport report;
    EXPECT_TRUE(embed(two, {6, 3}, {}, &report, guid));
    EXPECT_EQ(report.imagePath, wmp);
    EXPECT_EQ(picturesOf(two), QList<QByteArray>{seed("cover-600.jpg")});
}

// A failed write shows the error (Cancel is tried in EmbedRunTest); the song
// and its downloaded art are as they were.
TEST_F(EmbedTrackTest, AFailedWriteShowsTheErrorAndLosesNothing) {
    const QString path = song(u"A/Read only.mp3"_s, {}, u"Read only"_s);
    const QString folderImage = image(u"cover-300.jpg"_s, u"A/Folder.jpg"_s);
    openLibraryOnly();
    track(path)->SetDownloadedArtworkFromFile(seedPath(u"cover-600.jpg"_s));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup);
    const QByteArray before = readFile(path);

    ui.messages.answers = {support::IdOk};
    EmbedReport report;
    EXPECT_FALSE(embed(path, {3}, {true, ExistingReplace, 320}, &report));
    EXPECT_EQ(report.status, EmbedReport::Status::Failed);
    ASSERT_EQ(ui.messages.shown.size(), 1);
    const ShownMessage& shown = ui.messages.shown[0];
    EXPECT_TRUE(shown.text.contains(u"'"_s + folderImage + u"' into 'Read only'"_s) &&
                shown.text.contains(report.detail))
        << shown.text.toStdString();
    EXPECT_TRUE(report.detail.contains(u"read-only"_s)) << report.detail.toStdString();
    EXPECT_EQ(shown.buttons, support::MbOkCancel);
    EXPECT_FALSE(session.CancelRequested) << "OK goes on";
    EXPECT_EQ(readFile(path), before);
    EXPECT_TRUE(track(path)->Artwork()->Item(1)->IsDownloadedArtwork());
    EXPECT_FALSE(QDir(dataFolder() + u"/downloaded"_s).isEmpty());
    EXPECT_TRUE(leftoverCopies(music().file(u"A"_s)).isEmpty());
}

// Images that must not get into a song are refused with the song's error
// message, and the song stays as it was.
TEST_F(EmbedTrackTest, BadImagesAreRefusedWithTheSongsErrorMessage) {
    const QString path = song(u"A/song.mp3"_s);
    openLibraryOnly();
    const QByteArray before = readFile(path);
    for (const BadImage& bad : badImages()) {
        SCOPED_TRACE(bad.name);
        imageBytes(bad.bytes, u"A/Folder.jpg"_s);
        ui.messages.shown.clear();
        EmbedReport report;
        EXPECT_FALSE(embed(path, {3}, {}, &report));
        EXPECT_EQ(report.status, EmbedReport::Status::Failed);
        EXPECT_TRUE(report.detail.contains(bad.reason)) << report.detail.toStdString();
        ASSERT_EQ(ui.messages.shown.size(), 1);
        EXPECT_TRUE(ui.messages.shown[0].text.contains(bad.reason));
        EXPECT_EQ(readFile(path), before);
    }
}

TEST_F(EmbedTrackTest, AFullDiskLeavesTheSongAsItWas) {
    const QString path = song(u"A/song.mp3"_s);
    const QString cover =
        imageBytes(seed("cover-600.jpg") + QByteArray(64 * 1024, '\0'), u"A/Folder.jpg"_s);
    openLibraryOnly();
    const QByteArray before = readFile(path);
    EmbedReport report;
    {
        FileSizeLimit limit(rlim_t(before.size() + 1024));
        ASSERT_TRUE(limit.active());
        EXPECT_FALSE(embed(path, {3}, {}, &report));
    }
    EXPECT_EQ(report.status, EmbedReport::Status::Failed);
    EXPECT_EQ(readFile(path), before);
    EXPECT_TRUE(leftoverCopies(music().file(u"A"_s)).isEmpty());
    EXPECT_EQ(report.imagePath, cover);
}

} // namespace
