#include "catalogue/CatalogueSession.h"
#include "catalogue/LibraryScan.h"
#include "catalogue/ProgressPanel.h"
#include "foldertree/FolderTree.h"
#include "tests/catalogue/FakeLibrary.h"
#include "tests/common/ScriptedUi.h"
#include "tests/common/TestFiles.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace catalogue;

namespace {

class CountingHooks : public ScanHooks {
public:
    int enabled = 0;
    void enableSelectionSteps() override { ++enabled; }
};

QStringList columnOf(const SongList& list, int column) {
    QStringList texts;
    for (int row = 0; row < list.rowCount(); ++row)
        texts.append(list.model().text(row, column));
    return texts;
}

class ScanTest : public ::testing::Test {
protected:
    ScanTest() : environment{progress, ui.services(), &hooks, {}} {
        environment.lister = [this](const QString& folder) {
            ++listings[folder];
            return ListFolderFiles(folder);
        };
        EXPECT_TRUE(session.Init([this] { return library; }));
    }

    // A song file (an empty file will do: the fake library reads no tags).
    QString song(const QString& relative) {
        testing_support::writeFile(temp.file(relative), "audio");
        return temp.path() + u'/' + relative;
    }
    QString image(const QString& relative) { return song(relative); }
    QString missing(const QString& relative) { return temp.path() + u'/' + relative; }

    void scan() { ScanLibrary(session, environment); }

    testing_support::TempFolder temp;
    fake::FakeLibraryPtr library = std::make_shared<fake::FakeLibrary>();
    CatalogueSession session;
    testing_support::ScriptedUi ui;
    RecordingProgressPanel progress;
    CountingHooks hooks;
    ScanEnvironment environment;
    QHash<QString, int> listings;
};

} // namespace

// How a scan of songs ends shows in the main window's own test; an empty
// library ends the same way.
TEST_F(ScanTest, AnEmptyLibraryEndsWithEmptyLists) {
    scan();
    EXPECT_EQ(session.Eligible.rowCount() + session.Ineligible.rowCount(), 0);
    EXPECT_EQ(hooks.enabled, 1);
    EXPECT_EQ(progress.doneCalls, 1);
    EXPECT_TRUE(ui.messages.shown.isEmpty());
}

TEST_F(ScanTest, CancelKeepsExactlyTheTracksProcessed) {
    for (int i = 0; i < 1000; ++i) {
        const QString folder = u"album%1/"_s.arg(i % 7);
        // Every third file is missing, so both lists get rows.
        const QString path = i % 3 == 0 ? missing(folder + u"%1.mp3"_s.arg(999 - i))
                                        : song(folder + u"%1.mp3"_s.arg(999 - i));
        library->addTrack(u"Song %1"_s.arg(i), path);
    }
    ui.events.onProcess = [this](int call) {
        if (call == 10)
            session.CancelRequested = true;
    };
    scan();

    EXPECT_EQ(session.Catalogue.CatalogueCount(), 10);
    EXPECT_EQ(session.Eligible.rowCount() + session.Ineligible.rowCount(), 10);
    EXPECT_EQ(session.Counts.gEligibleSongs() + session.Counts.gInEligibleSongs(), 10);
    for (const SongList* list : {&session.Eligible, &session.Ineligible}) {
        QStringList paths = columnOf(*list, ColumnFullPath);
        QStringList sorted = paths;
        std::stable_sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) {
            return QString::compare(a, b, Qt::CaseInsensitive) < 0;
        });
        EXPECT_EQ(paths, sorted);
    }
    EXPECT_EQ(progress.value(), 10);
    EXPECT_EQ(progress.doneCalls, 0);
    EXPECT_FALSE(progress.active());
    EXPECT_EQ(hooks.enabled, 1);
}

TEST_F(ScanTest, AReusedRecordKeepsNoStaleFolderFactsAndTheCatalogueGrows) {
    const QString guid = u"0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0"_s;
    image(u"W/AlbumArt_{"_s + guid + u"}_Large.jpg"_s);
    image(u"W/back.png"_s);
    fake::FakeTrackPtr first = library->addTrack(u"One"_s, song(u"W/1.mp3"_s));
    library->addTrack(u"Two"_s, song(u"P/2.mp3"_s));
    scan();
    EXPECT_EQ(session.Catalogue[1].WmpGuidLcase, guid.toLower());
    EXPECT_EQ(session.Catalogue[1].ArtTypes, ArtKindWmpLarge | ArtKindOther);
    EXPECT_EQ(session.Catalogue[1].OtherImages, QStringList{u"back.png"_s});

    // Record 1 now describes a song in a folder without WMP images.
    first->location = song(u"P/1.mp3"_s);
    library->tracks.pop_back();
    scan();
    EXPECT_EQ(session.Catalogue.CatalogueCount(), 1);
    EXPECT_TRUE(session.Catalogue[1].WmpGuidLcase.isEmpty());
    EXPECT_EQ(session.Catalogue[1].ArtTypes, 0);
    EXPECT_TRUE(session.Catalogue[1].OtherImages.isEmpty());

    for (int i = 0; i < 3; ++i)
        library->addTrack(u"More %1"_s.arg(i), song(u"M/%1.mp3"_s.arg(i)));
    scan();
    EXPECT_EQ(session.Catalogue.CatalogueCount(), 4);
    EXPECT_EQ(session.Eligible.rowCount(), 4);
}

TEST_F(ScanTest, FailureToReadTheTracksEndsTheScanEmptyAndIdle) {
    library->addTrack(u"One"_s, song(u"A/1.mp3"_s));
    scan();
    ASSERT_EQ(session.Eligible.rowCount(), 1);

    library->failing.insert(u"Tracks.Count"_s);
    scan();
    ASSERT_EQ(ui.messages.shown.size(), 1);
    EXPECT_EQ(ui.messages.shown[0].text, u"Injected failure: Tracks.Count"_s);
    EXPECT_EQ(ui.messages.shown[0].icon, support::MbExclamation);
    EXPECT_EQ(session.Eligible.rowCount(), 0);
    EXPECT_EQ(session.Counts.gEligibleSongs(), 0);
    EXPECT_EQ(session.Catalogue.CatalogueCount(), 0);
    EXPECT_FALSE(progress.active());
    EXPECT_EQ(hooks.enabled, 1); // only the first scan's

    library->failing = {u"LibraryPlaylist"_s};
    session.Library.reset();
    scan();
    EXPECT_EQ(ui.messages.shown.size(), 2);
}

// The records are reused from scan to scan: what cannot be read now must
// not show what an earlier scan read.
TEST_F(ScanTest, AFailingTrackOrPartLosesOnlyThatPartAndNothingOlderShows) {
    image(u"A/Folder.jpg"_s);
    fake::FakeTrackPtr one = library->addTrack(u"One"_s, song(u"A/1.mp3"_s));
    library->addTrack(u"Unreachable"_s, song(u"A/2.mp3"_s));
    fake::FakeTrackPtr three =
        library->addTrack(u"Three"_s, song(u"A/3.mp3"_s), u"Cat"_s, u"Tails"_s, 5);
    fake::FakeTrackPtr four = library->addTrack(u"Four"_s, song(u"A/4.mp3"_s));
    one->addPicture();
    scan();
    ASSERT_EQ(session.Catalogue[3].Artist, u"Cat"_s);

    one->failing.insert(u"Artwork"_s);
    library->failing.insert(u"Item:2"_s);
    three->failing = {u"Name"_s, u"Artist"_s, u"Album"_s, u"TrackNumber"_s};
    four->failing = {u"PersistentIDs"_s};
    four->trackNumber = 70000; // too large for the record's 16 bits
    scan();

    const TrackCatalogue& catalogue = session.Catalogue;
    EXPECT_EQ(catalogue.CatalogueCount(), 4);
    EXPECT_EQ(catalogue[1].ArtTypes, ArtKindFolderJpg); // the folder still counts
    EXPECT_EQ(catalogue[2].Status, StatusNoLocation);
    EXPECT_TRUE(catalogue[2].Name.isEmpty());
    EXPECT_TRUE(catalogue[3].Name.isEmpty());
    EXPECT_TRUE(catalogue[3].Artist.isEmpty());
    EXPECT_TRUE(catalogue[3].Album.isEmpty());
    EXPECT_EQ(catalogue[3].TrackNumber, 0);
    EXPECT_EQ(catalogue[4].TrackNumber, 0);
    EXPECT_EQ(catalogue[4].PersistentIdLow, 0);
    ASSERT_EQ(session.Eligible.rowCount(), 3);
    EXPECT_EQ(session.Ineligible.rowCount(), 0);
    EXPECT_EQ(session.Eligible.model().text(1, ColumnArtist), QString());
    EXPECT_EQ(session.Eligible.model().text(1, ColumnTrack), u"00"_s);
    // Rows of songs whose name or ids could not be read lead nowhere.
    EXPECT_FALSE(session.Eligible.model().key(0).isEmpty());
    EXPECT_TRUE(session.Eligible.model().key(1).isEmpty());
    EXPECT_TRUE(session.Eligible.model().key(2).isEmpty());
    EXPECT_TRUE(ui.messages.shown.isEmpty());
}

TEST_F(ScanTest, SortsByPathInTheListsCurrentDirection) {
    library->addTrack(u"b"_s, song(u"x/b.mp3"_s));
    library->addTrack(u"C"_s, song(u"x/C.mp3"_s));
    library->addTrack(u"a"_s, song(u"x/a.mp3"_s));
    scan();
    EXPECT_EQ(columnOf(session.Eligible, ColumnSongName), (QStringList{u"a"_s, u"b"_s, u"C"_s}));

    session.Eligible.headerClicked(ColumnFullPath);
    session.Eligible.headerClicked(ColumnArtist);
    scan();
    EXPECT_EQ(session.Eligible.sortColumn(), ColumnFullPath);
    EXPECT_EQ(columnOf(session.Eligible, ColumnSongName), (QStringList{u"C"_s, u"b"_s, u"a"_s}));
    EXPECT_EQ(session.Eligible.selectedRow(), 0);
}

TEST_F(ScanTest, ListsEachFolderOnceHoweverTheLibraryOrdersItsSongs) {
    image(u"A/cover.jpg"_s);
    image(u"B/AlbumArt_{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}_Small.jpg"_s);
    for (int i = 0; i < 4; ++i) {
        library->addTrack(u"a%1"_s.arg(i), song(u"A/%1.mp3"_s.arg(i)));
        library->addTrack(u"b%1"_s.arg(i), song(u"B/%1.mp3"_s.arg(i)));
        library->addTrack(u"c%1"_s.arg(i), song(u"C/%1.mp3"_s.arg(i)));
    }
    // Folders that differ only in case are two folders.
    library->addTrack(u"lower"_s, song(u"a/x.mp3"_s));
    scan();
    EXPECT_EQ(listings.size(), 4);
    for (auto it = listings.cbegin(); it != listings.cend(); ++it)
        EXPECT_EQ(it.value(), 1) << it.key().toStdString();
    EXPECT_EQ(session.Catalogue[1].OtherImages, QStringList{u"cover.jpg"_s});
    EXPECT_EQ(session.Catalogue[2].ArtTypes, ArtKindWmpSmall);
    EXPECT_EQ(session.Catalogue[3].ArtTypes, 0);
    // Songs of one folder share one node.
    EXPECT_EQ(session.Catalogue[1].PathNode, session.Catalogue[4].PathNode);
    EXPECT_NE(session.Catalogue[1].PathNode, session.Catalogue[2].PathNode);
    EXPECT_NE(session.Catalogue[1].PathNode, session.Catalogue[13].PathNode);
}

TEST_F(ScanTest, ATreeThatCannotBeMadeStopsTheScanWithNothingElseChanged) {
    library->addTrack(u"One"_s, song(u"A/1.mp3"_s));
    scan();
    ASSERT_EQ(session.Eligible.rowCount(), 1);
    library->addTrack(u"Two"_s, song(u"A/2.mp3"_s));
    const int doneBefore = progress.doneCalls;

    environment.newTree = [] { return int32_t{0}; };
    scan();
    ASSERT_EQ(ui.messages.shown.size(), 1);
    EXPECT_TRUE(ui.messages.shown[0].text.contains(SupportAddress()));
    EXPECT_EQ(ui.messages.shown[0].icon, support::MbExclamation);
    EXPECT_EQ(session.PathNodeTree, 0);
    EXPECT_EQ(session.Eligible.rowCount(), 1);
    EXPECT_EQ(session.Counts.gEligibleSongs(), 1);
    EXPECT_EQ(session.Catalogue.CatalogueCount(), 1);
    EXPECT_EQ(progress.doneCalls, doneBefore);
    EXPECT_EQ(hooks.enabled, 1);

    // The next scan makes the tree again.
    environment.newTree = Tree_New;
    scan();
    EXPECT_NE(session.PathNodeTree, 0);
    EXPECT_EQ(session.Eligible.rowCount(), 2);
}
