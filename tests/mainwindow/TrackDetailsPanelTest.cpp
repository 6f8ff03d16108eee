// The track details panel over a small real library built from the seed
// files: the kinds a song offers, the image of the chosen kind with its
// labels, the kind kept across songs, damaged image files, and the Web page.

#include "catalogue/CatalogueSession.h"
#include "catalogue/LibraryScan.h"
#include "catalogue/ProgressPanel.h"
#include "catalogue/RowKey.h"
#include "mainwindow/TrackDetailsText.h"
#include "mainwindow/UcTrackDetails.h"
#include "mainwindow/WebSites.h"
#include "musiclibrary/Library.h"
#include "tests/catalogue/FakeLibrary.h"
#include "tests/common/ScriptedUi.h"
#include "tests/common/TestFiles.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QtEndian>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace mainwindow;
using testing_support::readFile;
using testing_support::seedPath;
using testing_support::writeFile;

namespace {

constexpr int Kinds[] = {1, 2, 4, 8, 16, 32, 64, 128};

// A PNG whose header claims width x height and that holds no image data.
QByteArray PngHeaderClaiming(quint32 width, quint32 height) {
    const auto chunk = [](const QByteArray& type, const QByteArray& data) -> QByteArray {
        QByteArray length(4, '\0');
        qToBigEndian(quint32(data.size()), length.data());
        QByteArray crc(4, '\0');
        qToBigEndian(testing_support::crc32Of(type + data), crc.data());
        return length + type + data + crc;
    };
    QByteArray header(8, '\0');
    qToBigEndian(width, header.data());
    qToBigEndian(height, header.data() + 4);
    header.append(QByteArrayLiteral("\x08\x06\x00\x00\x00"));
    // An empty data chunk: the header reader stops there.
    return QByteArrayLiteral("\x89PNG\r\n\x1a\n") + chunk("IHDR", header) + chunk("IDAT", {});
}

// One library for every test: the songs and the images of their folders.
class TrackDetailsPanelTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        library = new testing_support::TempFolder;
        const auto& f = *library;
        f.copySeed(u"seed.mp3"_s, u"music/A/01 Three.mp3"_s);
        f.copySeed(u"cover-600.jpg"_s, u"music/A/FOLDER.jpg"_s);
        f.copySeed(u"seed.mp3"_s, u"music/B/02 Small.mp3"_s);
        f.copySeed(u"cover-75.jpg"_s, u"music/B/albumartsmall.JPG"_s);
        f.copySeed(u"seed.mp3"_s, u"music/C/03 Folder.mp3"_s);
        f.copySeed(u"cover-200.jpg"_s, u"music/C/folder.jpg"_s);
        f.copySeed(u"seed.m4a"_s, u"music/D/04 Bare.m4a"_s);
        f.copySeed(u"seed.mp3"_s, u"music/E/05 Others.mp3"_s);
        f.copySeed(u"cover-75.jpg"_s, u"music/E/back.jpg"_s);
        f.copySeed(u"cover-160x120.png"_s, u"music/E/front.png"_s);
        f.copySeed(u"seed.mp3"_s, u"music/F/06 Backup.mp3"_s);
        f.copySeed(u"cover-48.bmp"_s, u"music/F/Backup.TMP"_s);
        QDir().mkpath(f.file(u"appdata"_s));
    }
    static void TearDownTestSuite() {
        delete library;
        library = nullptr;
    }

    void SetUp() override {
        const auto& f = *library;
        // Each test opens the library afresh, with its three embedded images
        // put back the way the test expects them.
        const QString data = f.file(u"engine-%1"_s.arg(++openings));
        session.Library = musiclibrary::openLibrary(f.file(u"music"_s), {data});
        const musiclibrary::TrackPtr three = trackAt(u"01 Three.mp3"_s);
        ASSERT_TRUE(three);
        if (three->Artwork()->Count() == 0) {
            for (const QString& cover :
                 {u"cover-300.jpg"_s, u"cover-200.jpg"_s, u"cover-160x120.png"_s})
                three->AddArtworkFromFile(seedPath(cover));
        }
        catalogue::ScanEnvironment environment{progress, ui.services(), nullptr,
                                               catalogue::ListFolderFiles};
        catalogue::ScanLibrary(session, environment);
        ASSERT_GE(session.Catalogue.CatalogueCount(), 6);

        panel = std::make_unique<UcTrackDetails>(&session.Catalogue);
        panel->setAppDataFolder(f.file(u"appdata/"_s));
        panel->setClipboardWriter([this](const QString& text) { clipboard.append(text); });
        panel->setAddressOpener([this](const QString& address) { opened.append(address); });
        panel->show();
    }

    // The library track whose file has this name, by a fresh look-up.
    musiclibrary::TrackPtr trackAt(const QString& fileName) {
        const musiclibrary::TrackCollectionPtr tracks =
            session.Library->LibraryPlaylist()->Tracks();
        for (int i = 1; i <= tracks->Count(); ++i) {
            const musiclibrary::TrackPtr track = tracks->Item(i);
            if (track->Location().endsWith(u'/' + fileName))
                return track;
        }
        return nullptr;
    }
    int32_t indexOf(const QString& fileName) const {
        for (int32_t i = 1; i <= session.Catalogue.CatalogueCount(); ++i) {
            if (session.Catalogue[i].Location.endsWith(u'/' + fileName))
                return i;
        }
        return 0;
    }
    // What the main window does on a row click.
    void showSong(const QString& fileName) {
        const int32_t index = indexOf(fileName);
        ASSERT_GT(index, 0) << fileName.toStdString();
        panel->setArrIndex(index);
        panel->setTrack(catalogue::CatalogueTrack(*session.Library, session.Catalogue, index));
    }
    QString musicFile(const QString& relative) const {
        return library->file(u"music/"_s + relative);
    }
    QSize pictureSize() const {
        const QPixmap pixmap = panel->PicSongDetails()->pixmap();
        return pixmap.isNull() ? QSize() : pixmap.size();
    }
    int checkedKind() const {
        for (int kind : Kinds) {
            if (panel->OptImage(kind)->isChecked())
                return kind;
        }
        return 0;
    }
    // The kind shown, and the file and dimensions of its image.
    void expectShown(int kind, const QString& file, const QString& dimensions) const {
        EXPECT_EQ(panel->ShownKind(), kind);
        EXPECT_EQ(panel->LabFullPath()->toolTip(), file);
        EXPECT_EQ(panel->LabDimensions()->text(), dimensions);
    }
    void expectEmptyPicture() const {
        EXPECT_TRUE(panel->PicSongDetails()->pixmap().isNull());
        EXPECT_EQ(panel->PicSongDetails()->size(), UcTrackDetails::PictureBoxSize);
        EXPECT_EQ(panel->LabDimensions()->text(), u""_s);
        EXPECT_EQ(panel->LabSize()->text(), u""_s);
        EXPECT_EQ(panel->LabFullPath()->text(), u""_s);
        EXPECT_EQ(panel->LabFullPath()->toolTip(), u""_s);
    }

    static inline testing_support::TempFolder* library = nullptr;
    static inline int openings = 0;
    catalogue::CatalogueSession session;
    catalogue::RecordingProgressPanel progress;
    testing_support::ScriptedUi ui;
    std::unique_ptr<UcTrackDetails> panel;
    QStringList clipboard;
    QStringList opened;
};

TEST_F(TrackDetailsPanelTest, ThreeEmbeddedImagesAreChosenWithTheSpinControl) {
    showSong(u"01 Three.mp3"_s);
    EXPECT_EQ(panel->LabName()->text(), trackAt(u"01 Three.mp3"_s)->Name());
    EXPECT_TRUE(panel->OptImage(2)->isEnabled());
    EXPECT_TRUE(panel->OptImage(4)->isEnabled());
    EXPECT_FALSE(panel->OptImage(1)->isEnabled());
    EXPECT_EQ(panel->OptImage(2)->text(), u"Embedded (3)"_s);
    EXPECT_TRUE(panel->ScrollEmbedded()->isVisible());
    EXPECT_FALSE(panel->ScrollOther()->isVisible());
    EXPECT_EQ(panel->ScrollEmbedded()->maximum(), 3);
    EXPECT_EQ(panel->ScrollEmbedded()->value(), 1);
    // The first kind in bit order that the song has.
    EXPECT_EQ(panel->ShownKind(), 2);
    EXPECT_EQ(checkedKind(), 2);
    EXPECT_TRUE(panel->ButCopyFieldsNow()->isEnabled());

    const struct {
        int position;
        QString dimensions;
        QString seed;
    } images[] = {{1, u"300 x 300"_s, u"cover-300.jpg"_s},
                  {2, u"200 x 200"_s, u"cover-200.jpg"_s},
                  {3, u"160 x 120"_s, u"cover-160x120.png"_s}};
    for (const auto& image : images) {
        panel->ScrollEmbedded()->setValue(image.position);
        EXPECT_EQ(panel->LabDimensions()->text(), image.dimensions);
        EXPECT_EQ(panel->LabSize()->text(), ImageSizeText(QFileInfo(seedPath(image.seed)).size()));
        EXPECT_EQ(panel->LabFullPath()->text(), u"(Embedded)"_s);
    }
    // Larger than the box: scaled to fit, keeping its shape.
    panel->ScrollEmbedded()->setValue(1);
    EXPECT_EQ(pictureSize(), QSize(214, 214));
    panel->ScrollEmbedded()->setValue(3);
    EXPECT_EQ(pictureSize(), QSize(160, 120));
}

TEST_F(TrackDetailsPanelTest, ThePickedKindIsKeptForLaterSongsThatHaveIt) {
    showSong(u"01 Three.mp3"_s);
    QTest::mouseClick(panel->OptImage(4), Qt::LeftButton);
    EXPECT_EQ(panel->PreferredKind(), 4);
    // The folder's own spelling of Folder.jpg.
    const QString folderImage = musicFile(u"A/FOLDER.jpg"_s);
    expectShown(4, folderImage, u"600 x 600"_s);
    EXPECT_EQ(panel->LabFullPath()->text(), SplitPathForLabel(folderImage));
    EXPECT_EQ(panel->LabSize()->text(), ImageSizeText(QFileInfo(folderImage).size()));

    showSong(u"02 Small.mp3"_s); // no folder image: its first kind
    expectShown(8, musicFile(u"B/albumartsmall.JPG"_s), u"75 x 75"_s);
    EXPECT_EQ(checkedKind(), 8);
    EXPECT_EQ(pictureSize(), QSize(75, 75));

    showSong(u"03 Folder.mp3"_s);
    expectShown(4, musicFile(u"C/folder.jpg"_s), u"200 x 200"_s);
    EXPECT_EQ(panel->PreferredKind(), 4);

    showSong(u"06 Backup.mp3"_s); // the backup file, when it is an image
    expectShown(128, musicFile(u"F/Backup.TMP"_s), u"48 x 48"_s);
    EXPECT_EQ(pictureSize(), QSize(48, 48));
}

// A song without artwork, then no song at all, leave nothing to choose and
// clear the picture.
TEST_F(TrackDetailsPanelTest, ASongWithoutArtworkOrNoTrackEmptiesThePanel) {
    showSong(u"03 Folder.mp3"_s);
    ASSERT_FALSE(panel->PicSongDetails()->pixmap().isNull());
    showSong(u"04 Bare.m4a"_s);
    for (int kind : Kinds)
        EXPECT_FALSE(panel->OptImage(kind)->isEnabled());
    EXPECT_EQ(checkedKind(), 0);
    EXPECT_EQ(panel->ShownKind(), 0);
    EXPECT_FALSE(panel->LabName()->text().isEmpty());
    expectEmptyPicture();

    showSong(u"01 Three.mp3"_s);
    panel->setArrIndex(0);
    panel->setTrack(nullptr);
    for (QLabel* label : {panel->LabArtist(), panel->LabAlbum(), panel->LabName()}) {
        EXPECT_EQ(label->text(), u""_s);
        EXPECT_EQ(label->toolTip(), u""_s);
    }
    for (int kind : Kinds)
        EXPECT_FALSE(panel->OptImage(kind)->isEnabled());
    EXPECT_EQ(panel->OptImage(2)->text(), u"Embedded"_s);
    EXPECT_FALSE(panel->ScrollEmbedded()->isVisible());
    EXPECT_FALSE(panel->ButCopyFieldsNow()->isEnabled());
    expectEmptyPicture();
}

TEST_F(TrackDetailsPanelTest, OtherImagesAreChosenWithTheirSpinControl) {
    showSong(u"05 Others.mp3"_s);
    const catalogue::TrackRecord& record = session.Catalogue[indexOf(u"05 Others.mp3"_s)];
    ASSERT_EQ(record.OtherImages.size(), 2);
    EXPECT_EQ(panel->OptImage(64)->text(), u"Other file (2)"_s);
    EXPECT_TRUE(panel->ScrollOther()->isVisible());
    for (int position : {1, 2}) {
        panel->ScrollOther()->setValue(position);
        const QString file = musicFile(u"E/"_s + record.OtherImages[position - 1]);
        const QImage image(file);
        expectShown(64, file, DimensionsText(image.width(), image.height()));
    }
}

TEST_F(TrackDetailsPanelTest, AnImageDeletedSinceTheScanDoesNotFailThePanel) {
    const QString moved = musicFile(u"C/folder.jpg"_s);
    ASSERT_TRUE(QFile::rename(moved, moved + u".away"_s));
    showSong(u"03 Folder.mp3"_s);
    QFile::rename(moved + u".away"_s, moved);
    expectShown(4, musicFile(u"C/Folder.JPG"_s), u""_s);
    EXPECT_EQ(panel->LabSize()->text(), MissingFileSizeText());
    EXPECT_TRUE(panel->PicSongDetails()->pixmap().isNull());
}

TEST(TrackDetailsBadImage, ShowsWhatItCanAndNeverDecodesTheUnreasonable) {
    const struct {
        const char* label;
        QByteArray bytes;
        QString dimensions;
    } cases[] = {
        {"empty file", QByteArray(), u""_s},
        {"huge PNG header", PngHeaderClaiming(100000, 100000), u"100000 x 100000"_s},
        {"wide PNG header", PngHeaderClaiming(20000, 10), u"20000 x 10"_s},
        {"text file", QByteArrayLiteral("not an image at all\n"), u""_s},
    };
    testing_support::TempFolder folder;
    const QString file = folder.file(u"folder.jpg"_s);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        writeFile(file, c.bytes);
        UcTrackDetails panel(nullptr);
        EXPECT_FALSE(panel.ShowImageFile(file));
        EXPECT_TRUE(panel.PicSongDetails()->pixmap().isNull());
        EXPECT_EQ(panel.PicSongDetails()->size(), UcTrackDetails::PictureBoxSize);
        EXPECT_EQ(panel.LabDimensions()->text(), c.dimensions);
        EXPECT_EQ(panel.LabSize()->text(), ImageSizeText(c.bytes.size()));
        EXPECT_EQ(panel.LabFullPath()->toolTip(), file);
    }
}

TEST(TrackDetailsBadImage, ATruncatedJpegNeitherHangsNorCrashes) {
    testing_support::TempFolder folder;
    const QByteArray whole = readFile(seedPath(u"cover-600.jpg"_s));
    for (qsizetype keep : {qsizetype(2), qsizetype(200), whole.size() / 2, whole.size() - 10}) {
        const QString file = folder.file(u"cut-%1.jpg"_s.arg(keep));
        writeFile(file, whole.left(keep));
        UcTrackDetails panel(nullptr);
        panel.ShowImageFile(file);
        EXPECT_LE(panel.PicSongDetails()->width(), UcTrackDetails::PictureBoxSize.width());
        EXPECT_LE(panel.PicSongDetails()->height(), UcTrackDetails::PictureBoxSize.height());
        EXPECT_EQ(panel.LabFullPath()->toolTip(), file);
    }
}

// The Web page over a song with bracketed names.
class TrackDetailsWebTest : public ::testing::Test {
protected:
    void SetUp() override {
        panel.setClipboardWriter([this](const QString& text) { clipboard.append(text); });
        panel.setAddressOpener([this](const QString& address) { opened.append(address); });
        song = library->addTrack(u"C (Single Edit)"_s, u"/music/x.mp3"_s, u"A [Live]"_s,
                                 u"B (Remastered) {Deluxe}"_s);
        panel.setTrack(song);
        panel.setDetailsTab(1);
        panel.show();
    }

    UcTrackDetails panel{nullptr};
    fake::FakeLibraryPtr library = std::make_shared<fake::FakeLibrary>();
    fake::FakeTrackPtr song;
    QStringList clipboard;
    QStringList opened;
};

TEST_F(TrackDetailsWebTest, GoNeedsASiteThenCopiesTheChosenFieldsAndOpensIt) {
    QListWidget* list = panel.ListMain();
    ASSERT_EQ(list->count(), qsizetype(WebSiteTable().size()));
    EXPECT_FALSE(panel.ButGo()->isEnabled());
    list->setCurrentRow(2);
    EXPECT_EQ(list->toolTip(), WebSiteTable()[2].address);
    list->clearSelection();
    EXPECT_FALSE(panel.ButGo()->isEnabled());
    EXPECT_EQ(list->toolTip(), u""_s);

    list->setCurrentRow(0);
    EXPECT_TRUE(panel.ButGo()->isEnabled());
    QTest::mouseClick(panel.ButGo(), Qt::LeftButton);
    EXPECT_EQ(clipboard, QStringList{u"\"A\" \"B\""_s});
    EXPECT_EQ(opened, QStringList{WebSiteTable()[0].address});

    panel.CheckIncludeSong()->setChecked(true);
    panel.CheckIncludeArtist()->setChecked(false);
    list->setCurrentRow(3);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
    const QPoint onSite = list->visualItemRect(list->item(3)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, onSite);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, onSite);
    EXPECT_EQ(clipboard.last(), u"\"B\" \"C\""_s);
    EXPECT_EQ(opened.last(), WebSiteTable()[3].address);

    // Without Copy details the clipboard is left alone.
    panel.CheckCopyDetails()->setChecked(false);
    list->setCurrentRow(1);
    panel.ButGo()->click();
    EXPECT_EQ(clipboard.size(), 2);
    EXPECT_EQ(opened.last(), WebSiteTable()[1].address);
}

TEST_F(TrackDetailsWebTest, CopyNowUsesTheBoxesAndNeedsASong) {
    song->artist = u"(Various)"_s;
    panel.CheckIncludeAlbum()->setChecked(false);
    panel.ButCopyFieldsNow()->click();
    EXPECT_TRUE(clipboard.isEmpty()); // nothing left to copy
    panel.CheckIncludeAlbum()->setChecked(true);
    panel.ButCopyFieldsNow()->click();
    EXPECT_EQ(clipboard, QStringList{u"\"B\""_s});

    panel.setTrack(nullptr);
    panel.CopyFieldsToClipboard(true, true, true);
    EXPECT_EQ(clipboard.size(), 1);
    EXPECT_TRUE(opened.isEmpty());
}

} // namespace
