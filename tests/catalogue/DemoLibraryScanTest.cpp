// Step 1 over the demonstration library, with the real engine and real song
// files: every album folder gives the artwork kinds its files call for, and
// every song lands on the right list with the right texts and reasons, its
// row leading back to its song and record.
//
// The expected values are written out by hand from what the demonstration
// library puts into each album folder (song files, embedded pictures,
// downloaded art, folder images), not taken from a run of the program. An
// Eligible row shows the words of its kinds, whose spelling is checked on
// its own.

#include "catalogue/CatalogueSession.h"
#include "catalogue/LibraryScan.h"
#include "catalogue/ProgressPanel.h"
#include "catalogue/RowKey.h"
#include "musiclibrary/DemoLibrary.h"
#include "musiclibrary/Library.h"
#include "tests/common/ScriptedUi.h"
#include "tests/common/TestFiles.h"

#include <gtest/gtest.h>

#include <ostream>

using namespace Qt::StringLiterals;
using namespace catalogue;
using testing_support::TempFolder;

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace {

struct DemoAlbum {
    const char16_t* artist;
    const char16_t* name;
};

// One song of the demonstration library as the scan must see it.
struct DemoSong {
    int index; // position in the library, 1-based
    DemoAlbum album;
    int trackNumber;
    const char16_t* name;
    const char16_t* file; // below Music/<artist>/<album>/; empty: no location
    ArtTypes types;
    int32_t status = StatusEligible;
    const char16_t* reason = nullptr; // Ineligible only
};

constexpr DemoAlbum kTidewater{u"Harbor Lights", u"Tidewater"};
constexpr DemoAlbum kSteam{u"The Copper Kettles", u"Steam & Whistle"};
constexpr DemoAlbum kMoons{u"Mira Solano", u"Paper Moons"};
constexpr DemoAlbum kDrift{u"Low Orbit", u"Signal Drift"};
constexpr DemoAlbum kFrames{u"Quiet Rooms", u"Empty Frames"};
constexpr DemoAlbum kField{u"Field Notes", u"Recordings"};
constexpr DemoAlbum kAurora{u"Northern Static", u"Aurora Tapes"};

constexpr const char16_t* kMissing = u"The song file is missing";
constexpr const char16_t* kCannotHold = u"File format does not support embedding images";

// Tidewater: Folder.jpg and AlbumArtSmall.jpg, every song file with pictures.
constexpr ArtTypes kTidewaterTypes = ArtKindEmbedded | ArtKindFolderJpg | ArtKindAlbumArtSmall;
// Steam & Whistle: Folder.jpg and both images of the album's player GUID.
constexpr ArtTypes kSteamFolder = ArtKindFolderJpg | ArtKindWmpSmall | ArtKindWmpLarge;
// Paper Moons: cover.png and back.bmp (Other), backup.tmp; scan.jpeg sets no bit.
constexpr ArtTypes kMoonsFolder = ArtKindOther | ArtKindBackup;
// Aurora Tapes: Folder.jpg, every song file with pictures.
constexpr ArtTypes kAuroraTypes = ArtKindEmbedded | ArtKindFolderJpg;

// The Eligible list, sorted by path.
const std::vector<DemoSong>& expectedEligible() {
    static const std::vector<DemoSong> rows = {
        {20, kField, 1, u"Morning Birds", u"01 Morning Birds.ogg", 0},
        {1, kTidewater, 1, u"Low Tide", u"01 Low Tide.mp3", kTidewaterTypes},
        {2, kTidewater, 2, u"Salt and Rope", u"02 Salt and Rope.mp3", kTidewaterTypes},
        {3, kTidewater, 3, u"Lantern Row", u"03 Lantern Row.mp3", kTidewaterTypes},
        {4, kTidewater, 4, u"Breakwater", u"04 Breakwater.mp3", kTidewaterTypes},
        // Downloaded art is a track's only artwork, even beside embedded pictures.
        {13, kDrift, 1, u"Uplink", u"01 Uplink.mp3", ArtKindDownloaded},
        {14, kDrift, 2, u"Telemetry", u"02 Telemetry.mp3", ArtKindDownloaded},
        {15, kDrift, 3, u"Dead Band", u"03 Dead Band.mp3", ArtKindDownloaded},
        {10, kMoons, 1, u"Origami Sky", u"01 Origami Sky.aiff", kMoonsFolder},
        {11, kMoons, 2, u"Folded Light", u"02 Folded Light.aiff", kMoonsFolder | ArtKindEmbedded},
        {12, kMoons, 3, u"Crease", u"03 Crease.aiff", kMoonsFolder},
        {22, kAurora, 1, u"Polar Night", u"01 Polar Night.mp3", kAuroraTypes},
        {23, kAurora, 2, u"Magnetic North", u"02 Magnetic North.m4a", kAuroraTypes},
        {24, kAurora, 3, u"Solar Wind", u"03 Solar Wind.mp3", kAuroraTypes},
        {17, kFrames, 1, u"Bare Walls", u"01 Bare Walls.mp3", 0},
        {18, kFrames, 2, u"Dust Sheets", u"02 Dust Sheets.mp3", 0},
        {6, kSteam, 1, u"Boiling Point", u"01 Boiling Point.m4a", kSteamFolder | ArtKindEmbedded},
        {7, kSteam, 2, u"Whistle Stop", u"02 Whistle Stop.m4a", kSteamFolder | ArtKindEmbedded},
        {8, kSteam, 3, u"Pressure Valve", u"03 Pressure Valve.m4a", kSteamFolder},
        {9, kSteam, 4, u"Brass Fittings", u"04 Brass Fittings.m4a", kSteamFolder | ArtKindEmbedded},
    };
    return rows;
}

// The Ineligible list, sorted by path (the song without one first).
const std::vector<DemoSong>& expectedIneligible() {
    static const std::vector<DemoSong> rows = {
        {5, kTidewater, 0, u"Harbor Radio (stream)", u"", 0, StatusNoLocation, kMissing},
        // Its kinds are still found although it cannot be given pictures.
        {21, kField, 2, u"Rain on Tin", u"02 Rain on Tin.wav", ArtKindEmbedded,
         StatusFormatUnsupported, kCannotHold},
        {16, kDrift, 4, u"Lost Transmission", u"04 Lost Transmission.mp3", 0, StatusFileMissing,
         kMissing},
        {19, kFrames, 3, u"Open Window", u"03 Open Window.wav", 0, StatusFormatUnsupported,
         kCannotHold},
    };
    return rows;
}

QString text(const char16_t* value) {
    return QString::fromUtf16(value);
}

class DemoLibraryScanTest : public ::testing::Test {
protected:
    void SetUp() override {
        const musiclibrary::LibraryOptions options{data.path()};
        const QString libraryFile = musiclibrary::buildDemoLibrary(demo.path(), options);
        ASSERT_TRUE(session.Init([&] { return musiclibrary::openLibrary(libraryFile, options); }));
        session.Kinds.Build();
        ScanEnvironment environment{progress, ui.services()};
        ScanLibrary(session, environment);
        ASSERT_TRUE(ui.messages.shown.isEmpty());
    }

    QString pathOf(const DemoSong& song) const {
        if (text(song.file).isEmpty())
            return {};
        return demo.path() + u"/Music/"_s + text(song.album.artist) + u'/' + text(song.album.name) +
               u'/' + text(song.file);
    }

    void expectList(const SongList& list, const std::vector<DemoSong>& songs, bool checked) {
        const SongListModel& model = list.model();
        ASSERT_EQ(model.rowCount(), static_cast<int>(songs.size()));
        for (int row = 0; row < model.rowCount(); ++row) {
            const DemoSong& song = songs[static_cast<size_t>(row)];
            SCOPED_TRACE(text(song.name).toStdString());
            EXPECT_EQ(model.text(row, ColumnArtist), text(song.album.artist));
            EXPECT_EQ(model.text(row, ColumnAlbum), text(song.album.name));
            EXPECT_EQ(model.text(row, ColumnTrack),
                      u"%1"_s.arg(song.trackNumber, 2, 10, QChar(u'0')));
            EXPECT_EQ(model.text(row, ColumnSongName), text(song.name));
            EXPECT_EQ(model.text(row, ColumnFullPath), pathOf(song));
            EXPECT_EQ(model.text(row, ColumnDetail),
                      song.reason ? text(song.reason) : ArtTypeNames(song.types));
            EXPECT_EQ(model.isChecked(row), checked);

            // The engine hands out a new object for each look-up: compare the songs.
            const musiclibrary::TrackPtr track = RowTrack(*session.Library, model.key(row));
            EXPECT_TRUE(track && track->Location() == pathOf(song));
            EXPECT_EQ(RowCatalogueIndex(model.key(row)), song.index);

            const TrackRecord& record = session.Catalogue[song.index];
            EXPECT_EQ(record.ArtTypes, song.types);
            EXPECT_EQ(record.Status, song.status);
            EXPECT_EQ(record.FileExists,
                      song.status != StatusNoLocation && song.status != StatusFileMissing);
        }
    }

    TempFolder demo;
    TempFolder data;
    CatalogueSession session;
    testing_support::ScriptedUi ui;
    RecordingProgressPanel progress;
};

} // namespace

TEST_F(DemoLibraryScanTest, PutsEverySongOnItsListWithItsTextsAndKindsInPathOrder) {
    ASSERT_EQ(session.Catalogue.CatalogueCount(), 24);
    expectList(session.Eligible, expectedEligible(), true);
    expectList(session.Ineligible, expectedIneligible(), false);
    EXPECT_EQ(session.Counts.gEligibleSongs(), 20);
    EXPECT_EQ(session.Counts.gInEligibleSongs(), 4);
    EXPECT_EQ(progress.value(), 24);
    EXPECT_FALSE(progress.active());
}

TEST_F(DemoLibraryScanTest, KeepsTheAlbumFactsThatTheArtworkRunsUse) {
    // The player GUID of Steam & Whistle, and nowhere else.
    for (int index = 1; index <= session.Catalogue.CatalogueCount(); ++index) {
        const bool steam = index >= 6 && index <= 9;
        EXPECT_EQ(session.Catalogue[index].WmpGuidLcase,
                  steam ? u"7a3c1e52-94b1-4c6f-9e8d-2b5f0a6c3d71"_s : QString())
            << index;
    }
    // Other pictures in listing order; scan.jpeg counts here though it sets no bit.
    const QStringList moons = {u"back.bmp"_s, u"cover.png"_s, u"scan.jpeg"_s};
    for (int index : {10, 11, 12})
        EXPECT_EQ(session.Catalogue[index].OtherImages, moons) << index;
    EXPECT_TRUE(session.Catalogue[1].OtherImages.isEmpty());

    // Songs of one folder sharing its node is the scan's own test. No node
    // for the song without a location; the missing song's folder is
    // registered all the same.
    EXPECT_EQ(session.Catalogue[5].PathNode, 0);
    EXPECT_EQ(session.Catalogue[16].PathNode, session.Catalogue[13].PathNode);
    EXPECT_NE(session.Catalogue[16].PathNode, 0);
}
