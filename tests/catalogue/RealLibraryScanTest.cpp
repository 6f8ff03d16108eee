// The scan over the real music library engine and real song files.

#include "catalogue/CatalogueSession.h"
#include "catalogue/LibraryScan.h"
#include "catalogue/ProgressPanel.h"
#include "catalogue/TempArtwork.h"
#include "musiclibrary/Library.h"
#include "tests/common/ScriptedUi.h"
#include "tests/common/TestFiles.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace catalogue;
using testing_support::TempFolder;

namespace {

class RealLibraryScanTest : public ::testing::Test {
protected:
    RealLibraryScanTest() : environment{progress, ui.services()} {
        mp3 = music.copySeed(u"seed.mp3"_s, u"A/seed.mp3"_s);
        music.copySeed(u"cover-300.jpg"_s, u"A/folder.JPG"_s);
        wav = music.copySeed(u"seed.wav"_s, u"B/seed.wav"_s);
        m4a = music.copySeed(u"seed.m4a"_s, u"C/seed.m4a"_s);
    }

    void open() {
        const musiclibrary::LibraryOptions options{data.path() + u"/"_s};
        ASSERT_TRUE(session.Init(
            [this, options] { return musiclibrary::openLibrary(music.path(), options); }));
    }

    const SongListModel& eligible() { return session.Eligible.model(); }
    int eligibleRow(const QString& path) {
        for (int row = 0; row < eligible().rowCount(); ++row) {
            if (eligible().text(row, ColumnFullPath) == path)
                return row;
        }
        return -1;
    }

    TempFolder music;
    TempFolder data;
    QString mp3, wav, m4a;
    CatalogueSession session;
    testing_support::ScriptedUi ui;
    RecordingProgressPanel progress;
    ScanEnvironment environment;
};

} // namespace

TEST_F(RealLibraryScanTest, SeesEmbeddedArtworkAndMissingFiles) {
    open();
    const musiclibrary::TrackCollectionPtr tracks = session.Library->LibraryPlaylist()->Tracks();
    musiclibrary::TrackPtr mp3Track;
    for (int i = 1; i <= tracks->Count(); ++i) {
        if (tracks->Item(i)->Location() == mp3)
            mp3Track = tracks->Item(i);
    }
    ASSERT_NE(mp3Track, nullptr);
    mp3Track->AddArtworkFromFile(testing_support::seedPath(u"cover-75.jpg"_s));
    ASSERT_TRUE(QFile::remove(m4a));

    ScanLibrary(session, environment);
    ASSERT_EQ(eligible().rowCount(), 1);
    EXPECT_EQ(eligible().text(0, ColumnDetail), u"Embedded Folder.JPG "_s);
    ASSERT_EQ(session.Ineligible.rowCount(), 2);
    EXPECT_EQ(session.Ineligible.model().text(0, ColumnFullPath), wav);
    EXPECT_EQ(session.Ineligible.model().text(1, ColumnDetail), u"The song file is missing"_s);

    const QString saved = SaveEmbeddedArtworkToTemp(mp3Track, 1, data.path() + u"/"_s);
    EXPECT_EQ(saved, data.path() + u"/Temp-Embedded.JPG"_s);
    EXPECT_EQ(testing_support::readFile(saved),
              testing_support::readFile(testing_support::seedPath(u"cover-75.jpg"_s)));
}

// Step 1 again sees the library as it is now: an album added, an album
// renamed, a song changed by another program; the songs it already knew keep
// their persistent ids.
TEST_F(RealLibraryScanTest, EachScanSeesTheLibraryAsItIsNow) {
    open();
    ScanLibrary(session, environment);
    ASSERT_EQ(eligible().rowCount(), 2);
    const auto idPart = [](const QString& key) { return key.section(u';', 0, 0); };
    const QString mp3Id = idPart(eligible().key(eligibleRow(mp3)));

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
    EXPECT_GE(eligibleRow(added), 0);
    EXPECT_EQ(eligibleRow(m4a), -1);
    EXPECT_GE(eligibleRow(music.path() + u"/C renamed/seed.m4a"_s), 0);
    ASSERT_GE(eligibleRow(mp3), 0);
    EXPECT_EQ(eligible().text(eligibleRow(mp3), ColumnDetail), u"Embedded Folder.JPG "_s);
    EXPECT_EQ(idPart(eligible().key(eligibleRow(mp3))), mp3Id);
}
