#include "catalogue/CatalogueSession.h"
#include "catalogue/LibraryScan.h"
#include "catalogue/ProgressPanel.h"
#include "catalogue/RowKey.h"
#include "foldertree/FolderTree.h"
#include "tests/catalogue/FakeLibrary.h"
#include "tests/common/ScriptedUi.h"
#include "tests/common/TestFiles.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace catalogue;

namespace {

class CountingHooks : public ScanHooks {
public:
    int enabled = 0, shown = 0, pushed = 0, popped = 0;
    void enableSelectionSteps() override { ++enabled; }
    void showCurrentSelection() override { ++shown; }
    void pushBusyPointer() override { ++pushed; }
    void popBusyPointer() override { ++popped; }
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

    int row(const SongList& list, const QString& path) const {
        for (int r = 0; r < list.rowCount(); ++r) {
            if (list.model().text(r, ColumnFullPath) == path)
                return r;
        }
        return -1;
    }

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

TEST_F(ScanTest, PlacesEachTrackByItsStatus) {
    image(u"A/Folder.jpg"_s);
    library->addTrack(u"With cover"_s, song(u"A/1.mp3"_s), u"Ann"_s, u"First"_s, 7);
    library->addTrack(u"No art"_s, song(u"B/2.m4a"_s), u"Bob"_s, u"Second"_s, 0);
    fake::FakeTrackPtr gone = library->addTrack(u"Gone"_s, missing(u"C/gone.mp3"_s));
    library->addTrack(u"Nowhere"_s, QString());
    image(u"D/cover.png"_s);
    fake::FakeTrackPtr wma = library->addTrack(u"Windows"_s, song(u"D/x.wma"_s));
    wma->kind = u"Windows Media audio file"_s;

    scan();

    const SongList& eligible = session.Eligible;
    const SongList& ineligible = session.Ineligible;
    ASSERT_EQ(eligible.rowCount(), 2);
    ASSERT_EQ(ineligible.rowCount(), 3);
    EXPECT_EQ(columnOf(eligible, ColumnDetail),
              (QStringList{u"Folder.JPG "_s, u"- No artwork available -"_s}));
    EXPECT_EQ(columnOf(eligible, ColumnTrack), (QStringList{u"07"_s, u"00"_s}));
    EXPECT_EQ(columnOf(eligible, ColumnArtist), (QStringList{u"Ann"_s, u"Bob"_s}));
    EXPECT_TRUE(eligible.model().isChecked(0));
    EXPECT_TRUE(eligible.model().isChecked(1));
    // Sorted by path: "" first, then C/ and D/.
    EXPECT_EQ(columnOf(ineligible, ColumnSongName),
              (QStringList{u"Nowhere"_s, u"Gone"_s, u"Windows"_s}));
    EXPECT_EQ(columnOf(ineligible, ColumnDetail),
              (QStringList{u"The song file is missing"_s, u"The song file is missing"_s,
                           u"File format does not support embedding images"_s}));

    const TrackCatalogue& catalogue = session.Catalogue;
    ASSERT_EQ(catalogue.CatalogueCount(), 5);
    EXPECT_EQ(catalogue[3].Status, StatusFileMissing);
    EXPECT_FALSE(catalogue[3].FileExists);
    EXPECT_NE(catalogue[3].PathNode, 0);
    EXPECT_EQ(Tree_FindPathNode(session.PathNodeTree,
                                QFile::encodeName(temp.path() + u"/C/"_s).toStdString()),
              catalogue[3].PathNode);
    EXPECT_EQ(catalogue[4].Status, StatusNoLocation);
    EXPECT_EQ(catalogue[4].PathNode, 0);
    EXPECT_EQ(catalogue[5].Status, StatusFormatUnsupported);
    EXPECT_FALSE(catalogue[5].FormatOk);
    EXPECT_EQ(catalogue[5].ArtTypes, ArtKindOther);
    EXPECT_EQ(catalogue[5].OtherImages, QStringList{u"cover.png"_s});
    EXPECT_EQ(catalogue[1].Folder, temp.path() + u"/A/"_s);
    EXPECT_TRUE(catalogue[1].FormatOk);

    // Every row leads back to its track and record.
    const int goneRow = row(ineligible, gone->location);
    EXPECT_EQ(RowTrack(*library, ineligible.model().key(goneRow)), gone);
    EXPECT_EQ(RowCatalogueIndex(ineligible.model().key(goneRow)), 3);

    EXPECT_EQ(session.Counts.gEligibleSongs(), 2);
    EXPECT_EQ(session.Counts.gInEligibleSongs(), 3);
    EXPECT_EQ(progress.max(), 5);
    EXPECT_EQ(progress.value(), 5);
    EXPECT_EQ(progress.doneCalls, 1);
    EXPECT_FALSE(progress.active());
    EXPECT_EQ(progress.focusCalls, 1);
    EXPECT_EQ(eligible.selectedRow(), 0);
    EXPECT_EQ(ineligible.selectedRow(), 0);
    EXPECT_EQ(hooks.enabled, 1);
    EXPECT_EQ(hooks.shown, 1);
    EXPECT_EQ(ui.events.calls, 5 + 2);
    EXPECT_TRUE(ui.messages.shown.isEmpty());
}

TEST_F(ScanTest, FilterAtScanTimeKeepsSongsWithoutArtworkUntilARefresh) {
    image(u"F/Folder.JPG"_s);
    library->addTrack(u"Folder"_s, song(u"F/1.mp3"_s));
    library->addTrack(u"Bare"_s, song(u"N/2.mp3"_s));
    library->addTrack(u"Embedded"_s, song(u"E/3.mp3"_s))->addPicture();
    session.ViewFilter = ArtKindFolderJpg;

    scan();
    EXPECT_EQ(columnOf(session.Eligible, ColumnSongName), (QStringList{u"Folder"_s, u"Bare"_s}));
    EXPECT_EQ(session.Counts.gEligibleSongs(), 2);
    EXPECT_EQ(session.Ineligible.rowCount(), 0);

    session.Eligible.model().setChecked(0, false);
    RefreshEligibleList(session, &hooks);
    EXPECT_EQ(columnOf(session.Eligible, ColumnSongName), QStringList{u"Folder"_s});
    EXPECT_TRUE(session.Eligible.model().isChecked(0));
    EXPECT_EQ(session.Counts.gEligibleSongs(), 1);
    EXPECT_EQ(hooks.pushed, 1);
    EXPECT_EQ(hooks.popped, 1);

    session.ViewFilter = 0;
    RefreshEligibleList(session);
    EXPECT_EQ(columnOf(session.Eligible, ColumnSongName), QStringList{u"Bare"_s});

    session.ViewFilter = ArtKindsAll;
    library->tracks[0]->name = u"Renamed since the scan"_s;
    RefreshEligibleList(session);
    EXPECT_EQ(columnOf(session.Eligible, ColumnSongName), QStringList{u"Embedded"_s});
    EXPECT_EQ(session.Counts.gEligibleSongs(), 1);
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

TEST_F(ScanTest, AnEmptyLibraryEndsWithEmptyListsAndZeroCaptions) {
    QStringList captions;
    QObject::connect(&session.Counts, &TabCounts::captionChanged,
                     [&](int, const QString& caption) { captions.append(caption); });
    scan();
    EXPECT_EQ(session.Eligible.rowCount(), 0);
    EXPECT_EQ(session.Ineligible.rowCount(), 0);
    EXPECT_EQ(captions, (QStringList{u"Eligi&ble Songs (0)"_s, u"Ineligible S&ongs (0)"_s}));
    EXPECT_EQ(session.Catalogue.CatalogueCount(), 0);
    EXPECT_EQ(hooks.enabled, 1);
    EXPECT_EQ(progress.doneCalls, 1);
}

TEST_F(ScanTest, ReusesTheCatalogueWithoutStaleFolderFactsAndGrowsIt) {
    const QString guid = u"0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0"_s;
    image(u"W/AlbumArt_{"_s + guid + u"}_Large.jpg"_s);
    fake::FakeTrackPtr first = library->addTrack(u"One"_s, song(u"W/1.mp3"_s));
    library->addTrack(u"Two"_s, song(u"P/2.mp3"_s));
    scan();
    EXPECT_EQ(session.Catalogue[1].WmpGuidLcase, guid.toLower());
    EXPECT_EQ(session.Catalogue[1].ArtTypes, ArtKindWmpLarge);
    EXPECT_EQ(session.Catalogue.CatalogueCapacity(), 2);

    // Record 1 now describes a song in a folder without WMP images.
    first->location = song(u"P/1.mp3"_s);
    library->tracks.pop_back();
    scan();
    EXPECT_EQ(session.Catalogue.CatalogueCapacity(), 2);
    EXPECT_EQ(session.Catalogue.CatalogueCount(), 1);
    EXPECT_TRUE(session.Catalogue[1].WmpGuidLcase.isEmpty());
    EXPECT_EQ(session.Catalogue[1].ArtTypes, 0);
    EXPECT_EQ(session.Catalogue[2].Name, u"Two"_s); // beyond the count: stale, unused

    for (int i = 0; i < 3; ++i)
        library->addTrack(u"More %1"_s.arg(i), song(u"M/%1.mp3"_s.arg(i)));
    scan();
    EXPECT_EQ(session.Catalogue.CatalogueCapacity(), 4);
    EXPECT_EQ(session.Catalogue.CatalogueCount(), 4);
    EXPECT_EQ(session.Eligible.rowCount(), 4);
}

TEST_F(ScanTest, AFieldThatCannotBeReadIsEmptyNotTheValueOfAnEarlierScan) {
    fake::FakeTrackPtr first =
        library->addTrack(u"Old name"_s, song(u"A/1.mp3"_s), u"Old artist"_s, u"Old album"_s, 7);
    fake::FakeTrackPtr second =
        library->addTrack(u"Unreadable"_s, song(u"B/2.mp3"_s), u"B"_s, u"B"_s, 3);
    scan();
    ASSERT_EQ(session.Catalogue[1].Artist, u"Old artist"_s);

    // The library order changed: record 1 now describes a song whose
    // fields cannot be read, and must not show the old song's.
    second->failing = {u"Name"_s, u"Artist"_s, u"Album"_s, u"TrackNumber"_s};
    std::swap(library->tracks[0], library->tracks[1]);
    scan();
    const TrackRecord& record = session.Catalogue[1];
    EXPECT_TRUE(record.Name.isEmpty());
    EXPECT_TRUE(record.Artist.isEmpty());
    EXPECT_TRUE(record.Album.isEmpty());
    EXPECT_EQ(record.TrackNumber, 0);
    const int row = this->row(session.Eligible, second->location);
    ASSERT_GE(row, 0);
    EXPECT_EQ(session.Eligible.model().text(row, ColumnArtist), QString());
    EXPECT_EQ(session.Eligible.model().text(row, ColumnTrack), u"00"_s);
    EXPECT_EQ(session.Catalogue[2].Name, first->name);

    // A number too large for the record's 16 bits is not stored either.
    second->failing.clear();
    second->trackNumber = 70000;
    scan();
    EXPECT_EQ(session.Catalogue[1].TrackNumber, 0);
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

TEST_F(ScanTest, AFailingTrackOrPartLosesOnlyThatPart) {
    image(u"A/Folder.jpg"_s);
    fake::FakeTrackPtr one = library->addTrack(u"One"_s, song(u"A/1.mp3"_s));
    library->addTrack(u"Unreachable"_s, song(u"A/2.mp3"_s));
    fake::FakeTrackPtr three = library->addTrack(u"Three"_s, song(u"A/3.mp3"_s), u"Cat"_s);
    fake::FakeTrackPtr four = library->addTrack(u"Four"_s, song(u"A/4.mp3"_s));
    one->addPicture();
    one->failing.insert(u"Artwork"_s);
    library->failing.insert(u"Item:2"_s);
    three->failing = {u"Name"_s, u"Artist"_s};
    four->failing = {u"PersistentIDs"_s, u"TrackNumber"_s};
    four->trackNumber = 9;

    scan();

    EXPECT_EQ(session.Catalogue.CatalogueCount(), 4);
    EXPECT_EQ(session.Catalogue[1].ArtTypes, ArtKindFolderJpg); // the folder still counts
    EXPECT_EQ(session.Catalogue[2].Status, StatusNoLocation);
    EXPECT_TRUE(session.Catalogue[2].Name.isEmpty());
    EXPECT_TRUE(session.Catalogue[3].Name.isEmpty());
    EXPECT_TRUE(session.Catalogue[3].Artist.isEmpty());
    EXPECT_EQ(session.Catalogue[4].TrackNumber, 0);
    EXPECT_EQ(session.Catalogue[4].PersistentIdLow, 0);
    ASSERT_EQ(session.Eligible.rowCount(), 3);
    EXPECT_EQ(session.Ineligible.rowCount(), 0);
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
    scan();
    EXPECT_EQ(listings.size(), 3);
    for (auto it = listings.cbegin(); it != listings.cend(); ++it)
        EXPECT_EQ(it.value(), 1) << it.key().toStdString();
    EXPECT_EQ(session.Catalogue[1].OtherImages, QStringList{u"cover.jpg"_s});
    EXPECT_EQ(session.Catalogue[2].ArtTypes, ArtKindWmpSmall);
    EXPECT_EQ(session.Catalogue[3].ArtTypes, 0);
    // Songs of one folder share one node.
    EXPECT_EQ(session.Catalogue[1].PathNode, session.Catalogue[4].PathNode);
    EXPECT_NE(session.Catalogue[1].PathNode, session.Catalogue[2].PathNode);
}

TEST_F(ScanTest, FoldersThatDifferOnlyInCaseStayApart) {
    library->addTrack(u"upper"_s, song(u"Music/A/1.mp3"_s));
    library->addTrack(u"lower"_s, song(u"music/a/2.mp3"_s));
    scan();
    EXPECT_NE(session.Catalogue[1].PathNode, session.Catalogue[2].PathNode);
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
    EXPECT_EQ(ui.messages.shown[0].text,
              u"The internal database could not be created. Cannot continue. Please report this "
              u"error to "_s +
                  SupportAddress());
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
