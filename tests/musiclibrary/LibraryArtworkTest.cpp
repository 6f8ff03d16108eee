// Artwork through the object model: embedded pictures of each kind of song
// file, and downloaded artwork held outside the file.

#include "musiclibrary/AudioFileIO.h"
#include "tests/musiclibrary/LibraryCaseSupport.h"

#include <QDir>
#include <QFile>

using namespace musiclibrary;
using namespace testing_support;
using namespace Qt::StringLiterals;

namespace {

class LibraryArtworkTest : public LibraryTest, public ::testing::WithParamInterface<QString> {
protected:
    // The one song of the library, of the kind under test, with these pictures.
    QString song(const QStringList& pictures) {
        return makeSong(music(), u"song."_s + GetParam(), {u"Song"_s, {}, {}, 0}, pictures);
    }
};

TEST_P(LibraryArtworkTest, AddSaveDeleteRoundTrip) {
    song({u"cover-300.jpg"_s});
    ITunesPtr library = openMusic();
    TrackPtr track = onlyTrack(library);
    ASSERT_EQ(track->Artwork()->Count(), 1);

    const ArtworkPtr png = track->AddArtworkFromFile(seedPath(u"cover-160x120.png"_s));
    track->AddArtworkFromFile(seedPath(u"cover-48.bmp"_s));
    const ArtworkCollectionPtr artwork = track->Artwork();
    ASSERT_EQ(artwork->Count(), 3);
    EXPECT_EQ(artwork->Item(1)->Format(), ITArtworkFormatJPEG);
    EXPECT_EQ(artwork->Item(2)->Format(), ITArtworkFormatPNG);
    EXPECT_EQ(artwork->Item(3)->Format(), ITArtworkFormatBMP);
    EXPECT_FALSE(artwork->Item(1)->IsDownloadedArtwork());

    const QString saved = music().file(u"out/saved.png"_s);
    artwork->Item(2)->SaveArtworkToFile(saved);
    EXPECT_EQ(readFile(saved), seedBytes(u"cover-160x120.png"_s));

    // Objects fetched before a delete keep addressing their own picture.
    const ArtworkPtr first = artwork->Item(1);
    const ArtworkPtr last = artwork->Item(3);
    artwork->Item(2)->Delete();
    EXPECT_EQ(artwork->Count(), 2);
    last->SaveArtworkToFile(saved);
    EXPECT_EQ(readFile(saved), seedBytes(u"cover-48.bmp"_s));
    EXPECT_EQ(libraryErrorOf([&] { png->Format(); }).number(), LibraryError::Deleted);
    EXPECT_EQ(libraryErrorOf([&] { png->Delete(); }).number(), LibraryError::Deleted);
    first->Delete();
    EXPECT_EQ(libraryErrorOf([&] { first->SaveArtworkToFile(saved); }).number(),
              LibraryError::Deleted);

    // The file holds exactly what the model says, also for a new opening.
    library = openMusic();
    track = onlyTrack(library);
    ASSERT_EQ(track->Artwork()->Count(), 1);
    EXPECT_EQ(track->Artwork()->Item(1)->Format(), ITArtworkFormatBMP);
    EXPECT_EQ(libraryErrorOf([&] { track->Artwork()->Item(2); }).number(),
              LibraryError::InvalidArgument);
}

TEST_P(LibraryArtworkTest, DeleteAfterAnotherProgramChangedThePicturesDeletesNothing) {
    const QString path = song({u"cover-300.jpg"_s, u"cover-75.jpg"_s});
    ITunesPtr library = openMusic();
    const ArtworkPtr first = onlyTrack(library)->Artwork()->Item(1);
    removePicture(path, 0); // another program takes the first picture away
    const QByteArray before = readFile(path);

    const LibraryError error = libraryErrorOf([&] { first->Delete(); });
    EXPECT_EQ(error.number(), LibraryError::Deleted);
    EXPECT_TRUE(error.description().contains(path)) << error.description().toStdString();
    EXPECT_EQ(readFile(path), before);
    EXPECT_EQ(onlyTrack(library)->Artwork()->Count(), 1);
}

TEST_P(LibraryArtworkTest, EditArtworkChangesTheSongInOneStep) {
    const QString path = song({u"cover-300.jpg"_s, u"cover-48.bmp"_s, u"cover-75.jpg"_s});
    ITunesPtr library = openMusic();
    TrackPtr track = onlyTrack(library);
    const ArtworkPtr kept = track->Artwork()->Item(2);

    track->EditArtwork({{3, 1}, {seedPath(u"cover-600.jpg"_s)}});
    const QList<QByteArray> expected{seedBytes(u"cover-48.bmp"_s), seedBytes(u"cover-600.jpg"_s)};
    EXPECT_EQ(track->ArtworkData(), expected);
    EXPECT_EQ(kept->Format(), ITArtworkFormatBMP) << "a kept picture keeps its identity";
    EXPECT_EQ(onlyTrack(openMusic())->ArtworkData(), expected);

    // A missing image refuses the whole change: nothing is removed either.
    const QByteArray before = readFile(path);
    const LibraryError error = libraryErrorOf([&] {
        track->EditArtwork({{1, 2}, {music().file(u"gone.jpg"_s)}});
    });
    EXPECT_EQ(error.number(), LibraryError::NotFound);
    EXPECT_EQ(readFile(path), before);
    EXPECT_EQ(libraryErrorOf([&] {
                  track->EditArtwork({{3}, {}});
              }).number(),
              LibraryError::InvalidArgument);
    EXPECT_EQ(track->Artwork()->Count(), 2);
}

// Downloaded art hides the file's pictures; replacing it embeds the new
// image after them, and the downloaded art goes only once that write is done.
TEST_P(LibraryArtworkTest, DownloadedArtGoesOnlyOnceItsReplacementIsEmbedded) {
    const QString path = song({u"cover-75.jpg"_s});
    ITunesPtr library = openMusic();
    TrackPtr track = onlyTrack(library);
    track->SetDownloadedArtworkFromFile(seedPath(u"cover-300.jpg"_s));
    ASSERT_EQ(track->ArtworkData(), QList<QByteArray>{seedBytes(u"cover-300.jpg"_s)});

    const QByteArray before = readFile(path);
    QFile::setPermissions(path, QFile::ReadOwner);
    EXPECT_EQ(libraryErrorOf([&] {
                  track->EditArtwork({{1}, {seedPath(u"cover-600.jpg"_s)}});
              }).number(),
              LibraryError::WriteFailed);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(readFile(path), before);
    ASSERT_EQ(track->Artwork()->Count(), 1);
    EXPECT_TRUE(track->Artwork()->Item(1)->IsDownloadedArtwork()) << "downloaded art kept";

    track->EditArtwork({{1}, {seedPath(u"cover-600.jpg"_s)}});
    EXPECT_TRUE(QDir(dataFolder() + u"/downloaded"_s).isEmpty());
    EXPECT_EQ(track->ArtworkData(),
              (QList<QByteArray>{seedBytes(u"cover-75.jpg"_s), seedBytes(u"cover-600.jpg"_s)}));
}

INSTANTIATE_TEST_SUITE_P(Kinds, LibraryArtworkTest,
                         ::testing::Values(u"mp3"_s, u"m4a"_s, u"aiff"_s, u"wav"_s),
                         [](const auto& info) { return info.param.toStdString(); });

class ArtworkFailureTest : public LibraryTest {};

TEST_F(ArtworkFailureTest, BadImagesAndReadOnlyDataAreRefusedClearly) {
    const QString song = makeSong(music(), u"song.mp3"_s, {u"Song"_s, {}, {}, 0});
    const QByteArray before = readFile(song);
    const TrackPtr track = allTracks(*openMusic())[0];
    const QString empty = music().file(u"empty.jpg"_s);
    writeFile(empty, {});
    const QString text = music().file(u"text.jpg"_s);
    writeFile(text, "not an image at all");
    struct Case {
        std::function<void()> call;
        int number;
        QString part;
    };
    const QList<Case> cases = {
        {[&] { track->AddArtworkFromFile(music().file(u"none.jpg"_s)); }, LibraryError::NotFound,
         u"none.jpg"_s},
        {[&] { track->AddArtworkFromFile(empty); }, LibraryError::InvalidArgument, u"is empty"_s},
        {[&] { track->SetDownloadedArtworkFromFile(text); }, LibraryError::InvalidArgument,
         u"not a JPEG, PNG or BMP image"_s},
        {[&] { track->Artwork()->Item(0); }, LibraryError::InvalidArgument, u"no artwork 0"_s},
    };
    for (const Case& c : cases) {
        const LibraryError error = libraryErrorOf(c.call);
        EXPECT_EQ(error.number(), c.number) << error.description().toStdString();
        EXPECT_TRUE(error.description().contains(c.part)) << error.description().toStdString();
    }
    EXPECT_EQ(readFile(song), before);
    EXPECT_EQ(track->Artwork()->Count(), 0);
}

} // namespace
