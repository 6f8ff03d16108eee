// The demonstration library: every picture format is in it, and building it
// again gives the same library. Which song has which artwork is checked song
// by song by the scan of the demonstration library.

#include "tests/musiclibrary/LibraryTestSupport.h"

#include "musiclibrary/DemoLibrary.h"

#include <QFileInfo>
#include <QSet>

using namespace musiclibrary;
using namespace testing_support;
using namespace Qt::StringLiterals;

namespace {

struct DemoContents {
    // One line per track: its location, then each artwork's kind and bytes.
    QStringList tracks;
    QSet<int> formats;
    int withSeveralPictures = 0;
};

DemoContents contentsOf(IiTunes& library) {
    DemoContents contents;
    for (const TrackPtr& track : allTracks(library)) {
        QString line = track->Location();
        if (QFileInfo::exists(track->Location())) {
            const ArtworkCollectionPtr artwork = track->Artwork();
            const QList<QByteArray> data = track->ArtworkData();
            for (int i = 1; i <= artwork->Count(); ++i) {
                contents.formats.insert(artwork->Item(i)->Format());
                line += artwork->Item(i)->IsDownloadedArtwork() ? u" downloaded "_s : u" "_s;
                line += QString::fromLatin1(data.value(i - 1).toBase64());
            }
            contents.withSeveralPictures += artwork->Count() > 1;
        }
        contents.tracks.append(line);
    }
    return contents;
}

class DemoLibraryTest : public LibraryTest {};

TEST_F(DemoLibraryTest, HoldsEveryPictureFormatAndRebuildingUndoesChanges) {
    const QString folder = music().path() + u"/Demo Library"_s;
    const QString libraryFile = buildDemoLibrary(folder, options());
    const DemoContents built = contentsOf(*open(libraryFile));
    EXPECT_EQ(built.formats,
              QSet<int>({ITArtworkFormatJPEG, ITArtworkFormatPNG, ITArtworkFormatBMP}));
    EXPECT_EQ(built.withSeveralPictures, 3);

    const TrackPtr first = allTracks(*open(libraryFile))[0];
    first->AddArtworkFromFile(seedPath(u"cover-75.jpg"_s));
    first->SetDownloadedArtworkFromFile(seedPath(u"cover-75.jpg"_s));
    writeFile(folder + u"/stray.txt"_s, "left over");
    ASSERT_NE(contentsOf(*open(libraryFile)).tracks, built.tracks);

    EXPECT_EQ(buildDemoLibrary(folder, options()), libraryFile);
    EXPECT_EQ(contentsOf(*open(libraryFile)).tracks, built.tracks);
    EXPECT_FALSE(QFileInfo::exists(folder + u"/stray.txt"_s));
}

TEST_F(DemoLibraryTest, RefusesToReplaceAnUnrelatedFolder) {
    writeFile(music().file(u"precious/keep.txt"_s), "mine");
    const QString folder = music().path() + u"/precious"_s;
    const LibraryError error = libraryErrorOf([&] { buildDemoLibrary(folder, options()); });
    EXPECT_EQ(error.number(), LibraryError::InvalidArgument);
    EXPECT_TRUE(error.description().contains(folder));
    EXPECT_TRUE(QFileInfo::exists(folder + u"/keep.txt"_s));
}

} // namespace
