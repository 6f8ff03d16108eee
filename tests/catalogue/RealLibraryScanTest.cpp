// The scan over the real music library engine and real song files.

#include "catalogue/CatalogueSession.h"
#include "catalogue/LibraryScan.h"
#include "catalogue/ProgressPanel.h"
#include "musiclibrary/Library.h"
#include "tests/common/ScriptedUi.h"
#include "tests/common/TestFiles.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace catalogue;
using testing_support::TempFolder;

// Step 1 again sees the library as it is now: an album added, an album
// renamed, a song changed by another program; the songs it already knew keep
// their persistent ids.
TEST(RealLibraryScan, EachScanSeesTheLibraryAsItIsNow) {
    TempFolder music, data;
    const QString mp3 = music.copySeed(u"seed.mp3"_s, u"A/seed.mp3"_s);
    music.copySeed(u"cover-300.jpg"_s, u"A/folder.JPG"_s);
    music.copySeed(u"seed.wav"_s, u"B/seed.wav"_s);
    const QString m4a = music.copySeed(u"seed.m4a"_s, u"C/seed.m4a"_s);
    CatalogueSession session;
    testing_support::ScriptedUi ui;
    RecordingProgressPanel progress;
    ScanEnvironment environment{progress, ui.services()};
    const musiclibrary::LibraryOptions options{data.path() + u"/"_s};
    ASSERT_TRUE(session.Init([&] { return musiclibrary::openLibrary(music.path(), options); }));
    const SongListModel& eligible = session.Eligible.model();
    const auto rowOf = [&](const QString& path) {
        for (int row = 0; row < eligible.rowCount(); ++row) {
            if (eligible.text(row, ColumnFullPath) == path)
                return row;
        }
        return -1;
    };

    ScanLibrary(session, environment);
    ASSERT_EQ(eligible.rowCount(), 2);
    const auto idPart = [](const QString& key) { return key.section(u';', 0, 0); };
    const QString mp3Id = idPart(eligible.key(rowOf(mp3)));

    const QString added = music.copySeed(u"seed.mp3"_s, u"D/added.mp3"_s);
    ASSERT_TRUE(QDir(music.path()).rename(u"C"_s, u"C renamed"_s));
    {
        // Another program puts a picture into the song.
        const musiclibrary::ITunesPtr other =
            musiclibrary::openLibrary(music.path(), {data.path() + u"/other/"_s});
        const musiclibrary::TrackCollectionPtr tracks = other->LibraryPlaylist()->Tracks();
        for (int index = 1; index <= tracks->Count(); ++index)
            if (tracks->Item(index)->Location() == mp3)
                tracks->Item(index)->AddArtworkFromFile(
                    testing_support::seedPath(u"cover-75.jpg"_s));
        musiclibrary::FinishWrites();
    }

    ScanLibrary(session, environment);
    ASSERT_TRUE(ui.messages.shown.isEmpty());
    EXPECT_EQ(session.Catalogue.CatalogueCount(), 4);
    EXPECT_GE(rowOf(added), 0);
    EXPECT_EQ(rowOf(m4a), -1);
    EXPECT_GE(rowOf(music.path() + u"/C renamed/seed.m4a"_s), 0);
    ASSERT_GE(rowOf(mp3), 0);
    EXPECT_EQ(eligible.text(rowOf(mp3), ColumnDetail), u"Embedded Folder.JPG "_s);
    EXPECT_EQ(idPart(eligible.key(rowOf(mp3))), mp3Id);
}
