// The demonstration library: everything the program can show is in it, and
// building it again gives the same library.

#include "tests/musiclibrary/LibraryTestSupport.h"

#include "musiclibrary/DemoLibrary.h"

#include <QDir>
#include <QFileInfo>

using namespace musiclibrary;
using namespace testing_support;
using namespace Qt::StringLiterals;

namespace {

struct DemoCounts {
    int tracks = 0;
    int noLocation = 0;
    int missing = 0;
    int wavWithoutArtwork = 0;
    int withDownloaded = 0;
    int withEmbedded = 0;
    int withSeveralEmbedded = 0;
    int withoutArtwork = 0;
    QSet<int> formats;
};

DemoCounts countDemo(IiTunes& library) {
    DemoCounts counts;
    for (const TrackPtr& track : allTracks(library)) {
        ++counts.tracks;
        if (track->Location().isEmpty()) {
            ++counts.noLocation;
            continue;
        }
        if (!QFileInfo::exists(track->Location())) {
            ++counts.missing;
            continue;
        }
        const ArtworkCollectionPtr artwork = track->Artwork();
        const int count = artwork->Count();
        if (count == 0 && track->KindAsString() == u"WAV audio file"_s)
            ++counts.wavWithoutArtwork;
        else if (count == 0)
            ++counts.withoutArtwork;
        else if (artwork->Item(1)->IsDownloadedArtwork())
            ++counts.withDownloaded;
        else
            ++counts.withEmbedded;
        counts.withSeveralEmbedded += count > 1;
        for (int i = 1; i <= count; ++i)
            counts.formats.insert(artwork->Item(i)->Format());
    }
    return counts;
}

class DemoLibraryTest : public LibraryTest {};

TEST_F(DemoLibraryTest, HoldsEveryStatusAndArtworkKindAndRebuildsTheSame) {
    const QString folder = music().path() + u"/Demo Library"_s;
    const QString libraryFile = buildDemoLibrary(folder, options());
    EXPECT_EQ(libraryFile, folder + u"/Demo Library.xml"_s);

    const DemoCounts counts = countDemo(*open(libraryFile));
    EXPECT_EQ(counts.tracks, 24);
    EXPECT_EQ(counts.noLocation, 1);
    EXPECT_EQ(counts.missing, 1);
    EXPECT_EQ(counts.wavWithoutArtwork, 1);
    EXPECT_EQ(counts.withDownloaded, 3);
    EXPECT_EQ(counts.withEmbedded, 12);
    EXPECT_EQ(counts.withSeveralEmbedded, 3);
    EXPECT_EQ(counts.withoutArtwork, 6) << "the Ogg Vorbis song among them";
    EXPECT_EQ(counts.formats,
              QSet<int>({ITArtworkFormatJPEG, ITArtworkFormatPNG, ITArtworkFormatBMP}));

    const QDir tidewater(folder + u"/Music/Harbor Lights/Tidewater"_s);
    EXPECT_TRUE(tidewater.exists(u"Folder.jpg"_s));
    EXPECT_TRUE(tidewater.exists(u"AlbumArtSmall.jpg"_s));
    const QDir kettles(folder + u"/Music/The Copper Kettles/Steam & Whistle"_s);
    const QStringList wmp = kettles.entryList({u"AlbumArt_{*"_s}, QDir::Files, QDir::Name);
    ASSERT_EQ(wmp.size(), 2);
    EXPECT_EQ(wmp[0].size(), 57);
    EXPECT_EQ(wmp[0].left(47), wmp[1].left(47)); // one GUID per album
    const QDir moons(folder + u"/Music/Mira Solano/Paper Moons"_s);
    for (const QString& name : {u"cover.png"_s, u"back.bmp"_s, u"scan.jpeg"_s, u"backup.tmp"_s})
        EXPECT_TRUE(moons.exists(name)) << name.toStdString();

    // Changes made in between are undone by building again.
    const TrackPtr first = allTracks(*open(libraryFile))[0];
    first->AddArtworkFromFile(seedPath(u"cover-75.jpg"_s));
    first->SetDownloadedArtworkFromFile(seedPath(u"cover-75.jpg"_s));
    writeFile(folder + u"/stray.txt"_s, "left over");
    buildDemoLibrary(folder, options());
    const DemoCounts rebuilt = countDemo(*open(libraryFile));
    EXPECT_EQ(rebuilt.withDownloaded, 3);
    EXPECT_EQ(rebuilt.withEmbedded, 12);
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
