// Drops: the decoder on the drags that programs really send, and what the
// main window does with a dropped image, on real files.

#include "artwork/DropProcessing.h"
#include "artwork/OleDnd.h"
#include "support/FileAttributes.h"
#include "tests/artwork/ArtworkTestSupport.h"
#include "tests/common/ReadOnlyFolder.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QMimeData>
#include <QStandardPaths>
#include <QUrl>

using namespace Qt::StringLiterals;
using namespace artwork;
using namespace testing_support;

namespace {

// The formats Firefox puts on a dragged picture of a web page.
std::unique_ptr<QMimeData> firefoxImageDrag(const QByteArray& png) {
    auto data = std::make_unique<QMimeData>();
    data->setData(u"text/x-moz-url"_s, u"https://example.org/cover.png\nCover"_s.toUtf8());
    data->setData(u"application/x-moz-file-promise-url"_s, "https://example.org/cover.png");
    data->setData(u"application/x-moz-file-promise-dest-filename"_s, "cover.png");
    data->setData(u"text/_moz_htmlcontext"_s, "<html><body></body></html>");
    data->setHtml(u"<img src=\"https://example.org/cover.png\" alt=\"Cover\">"_s);
    data->setText(u"https://example.org/cover.png"_s);
    data->setUrls({QUrl(u"https://example.org/cover.png"_s)});
    data->setData(u"application/x-moz-nativeimage"_s, png);
    data->setData(u"image/png"_s, png);
    return data;
}

// Chromium's: the address, the page's markup, and for an inline picture its
// bytes as a data: address.
std::unique_ptr<QMimeData> chromiumImageDrag(const QByteArray& png) {
    auto data = std::make_unique<QMimeData>();
    data->setData(u"chromium/x-renderer-taint"_s, {});
    data->setUrls({QUrl(u"data:image/png;base64,"_s + QString::fromLatin1(png.toBase64()))});
    data->setHtml(u"<img src=\"data:image/png;base64,"_s + QString::fromLatin1(png.toBase64()) +
                  u"\">"_s);
    return data;
}

TEST(DropDecoder, TheMainWindowTakesFilesOnlyAndTheAboutBoxNothing) {
    TempFolder folder;
    OleDnd decoder(folder.path());
    QMimeData text;
    text.setText(u"  just words  "_s);
    EXPECT_EQ(decoder.OleDragOver(&text, MainWindowDropTag), EffectNone);
    EXPECT_EQ(decoder.DropKind, DropTextKind);
    EXPECT_EQ(decoder.DropKindName, u"text"_s);
    EXPECT_FALSE(decoder.DropAccepted);

    for (const QString& address : {u"http://example.org"_s, u"HTTPS://x"_s, u"ftp://h/f"_s,
                                   u"mailto:someone@example.org"_s}) {
        QMimeData url;
        url.setText(address);
        EXPECT_EQ(decoder.OleDragOver(&url, MainWindowDropTag), EffectNone);
        EXPECT_EQ(decoder.DropKind, DropUrl) << address.toStdString();
    }
    QMimeData notAddress;
    notAddress.setText(u"gopher://old"_s);
    decoder.OleDragOver(&notAddress, MainWindowDropTag);
    EXPECT_EQ(decoder.DropKind, DropTextKind);

    const QString a = folder.copySeed(u"cover-300.jpg"_s, u"a.jpg"_s);
    const QString b = folder.copySeed(u"cover-75.jpg"_s, u"b.jpg"_s);
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(a), QUrl::fromLocalFile(b)});
    EXPECT_EQ(decoder.OleDragOver(&files, MainWindowDropTag), EffectCopyAndLink);
    EXPECT_EQ(decoder.DropText, a);
    bool start = false;
    EXPECT_EQ(decoder.OleDrop(&files, MainWindowDropTag, &start), EffectCopyAndLink);
    EXPECT_TRUE(start);
    EXPECT_EQ(decoder.DropFiles, (QStringList{a, b}));

    EXPECT_EQ(decoder.OleDrop(&files, AboutBoxDropTag, &start), EffectNone);
    EXPECT_FALSE(start);
    EXPECT_FALSE(decoder.DropAccepted);
    EXPECT_EQ(decoder.OleDrop(&files, MainWindowDropTag, &start, false), EffectNone)
        << "drops not allowed now";
    EXPECT_EQ(decoder.OleDragOver(nullptr, MainWindowDropTag), EffectNone);
}

TEST(DropDecoder, ASourceClaimingEveryFormatIsNotBelieved) {
    QMimeData everything;
    everything.setText(u"x"_s);
    everything.setUrls({QUrl::fromLocalFile(u"/tmp/x.jpg"_s)});
    everything.setImageData(QImage(4, 4, QImage::Format_RGB32));
    for (const char* format : {"image/x-palette", "image/bmp", "image/x-emf", "image/x-wmf",
                               "text/rtf", "text/x-moz-url"})
        everything.setData(QString::fromLatin1(format), "x");
    ASSERT_TRUE(ClaimsEveryFormat(everything));
    OleDnd decoder;
    EXPECT_EQ(decoder.OleDragOver(&everything, MainWindowDropTag), EffectNone);
    EXPECT_EQ(decoder.DropKind, DropUnknown);
    EXPECT_FALSE(decoder.DropAccepted);
}

TEST(DropDecoder, SisterProgramLinksAreReadAsNumberAndText) {
    OleDnd decoder;
    QMimeData link;
    link.setText(WexlinkPrefix() + u"42,Road Songs"_s);
    decoder.OleDragOver(&link, u"wexlink"_s);
    EXPECT_EQ(decoder.DropKind, DropWexlink);
    EXPECT_EQ(decoder.DropLinkNumber, 42);
    EXPECT_EQ(decoder.DropText, u"Road Songs"_s);
    link.setText(WexlinkPrefix() + u"17"_s);
    decoder.OleDragOver(&link, u"wexlink"_s);
    EXPECT_EQ(decoder.DropLinkNumber, 17);
    EXPECT_EQ(decoder.DropText, QString());
    EXPECT_EQ(decoder.OleDragOver(&link, MainWindowDropTag), EffectNone) << "never on the window";
}

// A browser hands a picture over as image data: the drop becomes a file in
// the application-data folder, standing for the dropped file.
TEST(DropDecoder, BrowserImageDataBecomesAFile) {
    TempFolder folder;
    const QByteArray png = readFile(seedPath(u"cover-160x120.png"_s));
    for (const auto& data : {firefoxImageDrag(png), chromiumImageDrag(png)}) {
        OleDnd decoder(folder.path());
        EXPECT_EQ(decoder.OleDragOver(data.get(), MainWindowDropTag), EffectCopyAndLink);
        EXPECT_EQ(decoder.DropKind, DropFilesKind);
        bool start = false;
        decoder.OleDrop(data.get(), MainWindowDropTag, &start);
        ASSERT_TRUE(start);
        ASSERT_EQ(decoder.DropFiles.size(), 1);
        EXPECT_TRUE(decoder.DropFiles[0].startsWith(folder.path()));
        EXPECT_EQ(readFile(decoder.DropFiles[0]), png);
    }
    // Only an address, no picture: nothing the window can use.
    QMimeData address;
    address.setUrls({QUrl(u"https://example.org/cover.png"_s)});
    address.setText(u"https://example.org/cover.png"_s);
    OleDnd decoder(folder.path());
    EXPECT_EQ(decoder.OleDragOver(&address, MainWindowDropTag), EffectNone);
    EXPECT_EQ(decoder.DropKind, DropUrl);
}

// A scripted user of the confirmation dialogs.
class ScriptedConfirmation : public DropConfirmation {
public:
    int answer = ConfirmYes;
    QStringList asked;
    int ConfirmNewFolderJpg(const QString& dropped) override {
        asked.append(u"new "_s + dropped);
        return answer;
    }
    int ConfirmReplace(const QString&, const QString& dropped, const QString& existing) override {
        asked.append(u"replace "_s + existing + u" with "_s + dropped);
        return answer;
    }
};

class DropProcessingTest : public ArtworkLibraryTest {
protected:
    void SetUp() override {
        QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + u"/Trash"_s)
            .removeRecursively();
    }
    void drop(const QStringList& files, int busy = 0) {
        catalogue::RunEnvironment run = environment();
        DropEnvironment drops{session, run, confirmation, busy};
        ProcessDrop(drops, files);
    }
    void select(const QString& location, int tab = catalogue::TAB_ELIGIBLE) {
        view.tab = tab;
        catalogue::SongList& list = session.ListMain(tab);
        for (int row = 0; row < list.rowCount(); ++row)
            if (list.model().text(row, catalogue::ColumnFullPath) == location)
                list.selectRow(row);
    }
    QString lastMessage() const {
        return ui.messages.shown.isEmpty() ? QString() : ui.messages.shown.last().text;
    }
    ScriptedConfirmation confirmation;
};

TEST_F(DropProcessingTest, ANewFolderJpgIsSavedAndTheCatalogueLearnsOfIt) {
    const QString a = song(u"A/1.mp3"_s, {u"cover-75.jpg"_s});
    const QString b = song(u"A/2.mp3"_s);
    const QString hidden = song(u"A/3.mp3"_s, {u"cover-75.jpg"_s});
    scan(catalogue::ArtKindFolderJpg | catalogue::ArtKindAlbumArtSmall); // embedded art hidden
    ASSERT_EQ(eligibleRow(hidden), -1);
    select(b);
    const QString dropped = image(u"cover-300.jpg"_s, u"elsewhere/cover.jpg"_s);
    drop({dropped});
    EXPECT_EQ(confirmation.asked, QStringList{u"new "_s + dropped});
    EXPECT_EQ(readFile(music().file(u"A/Folder.jpg"_s)), readFile(dropped));
    EXPECT_EQ(session.Eligible.model().text(eligibleRow(b), catalogue::ColumnDetail),
              u"Folder.JPG "_s);
    ASSERT_NE(eligibleRow(hidden), -1) << "the filter hid it; now it has a kind it shows";
    EXPECT_TRUE(session.Eligible.model().isChecked(eligibleRow(hidden)));
    EXPECT_NE(eligibleRow(a), -1);
    EXPECT_EQ(session.Counts.gEligibleSongs(), 3) << "one row each, none twice";
    EXPECT_EQ(session.Eligible.rowCount(), 3);
    EXPECT_EQ(view.shownAgain, 1);
    EXPECT_TRUE(ui.messages.shown.isEmpty());
}

// The folder's file in another case is the one replaced: it goes to the
// Trash, the new one keeps its name and permissions.
TEST_F(DropProcessingTest, AnExistingFolderJpgIsReplacedThroughTheTrash) {
    const QString path = song(u"A/1.mp3"_s);
    const QString old = image(u"cover-75.jpg"_s, u"A/folder.jpg"_s);
    QFile::setPermissions(old, QFile::ReadOwner | QFile::WriteOwner);
    scan();
    select(path);
    const QString dropped = image(u"cover-600.jpg"_s, u"cover.jpg"_s);
    confirmation.answer = ConfirmNo;
    drop({dropped});
    EXPECT_EQ(readFile(old), readFile(seedPath(u"cover-75.jpg"_s))) << "No changes nothing";
    confirmation.answer = ConfirmYes;
    drop({dropped});
    EXPECT_EQ(confirmation.asked.last(), u"replace "_s + old + u" with "_s + dropped);
    EXPECT_EQ(readFile(old), readFile(dropped));
    EXPECT_EQ(QFile::permissions(old) & 0x7777,
              (QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser) & 0x7777);
    EXPECT_EQ(QDir(music().file(u"A"_s)).entryList(QDir::Files | QDir::Hidden),
              (QStringList{u"1.mp3"_s, u"folder.jpg"_s}));
    const QString trash =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + u"/Trash/files"_s;
    EXPECT_EQ(QDir(trash).entryList(QDir::Files).size(), 1);
}

TEST_F(DropProcessingTest, TheChecksBeforeAnyQuestion) {
    const QString a = song(u"A/1.mp3"_s);
    const QString b = song(u"A/2.mp3"_s);
    const QString ogg = music().copySeed(u"seed.ogg"_s, u"B/talk.ogg"_s);
    const QString gone = song(u"C/gone.mp3"_s);
    scan();
    const QString dropped = image(u"cover-300.jpg"_s, u"cover.jpg"_s);

    drop({dropped}, 1);
    EXPECT_EQ(lastMessage(), u"Please do not drop items while Quillmoth is busy."_s);
    session.Eligible.selection().clearSelection();
    drop({dropped});
    EXPECT_EQ(lastMessage(), SelectOneSongMessage()) << "none selected";
    select(a);
    session.Eligible.selection().select(session.Eligible.model().index(eligibleRow(b), 0),
                                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
    drop({dropped});
    EXPECT_EQ(lastMessage(), SelectOneSongMessage()) << "two selected";

    QFile::remove(gone);
    select(gone);
    drop({dropped});
    EXPECT_TRUE(lastMessage().startsWith(u"The song 'gone' could not be found on your hard disk."
                                         u"  (It was expected to be found at '"_s +
                                         gone + u"'.)"_s))
        << lastMessage().toStdString();
    select(ogg, catalogue::TAB_INELIGIBLE);
    drop({dropped});
    EXPECT_EQ(lastMessage(), u"The song 'Seed' is a 'Ogg Vorbis file,' which does not "
                             u"support embedding cover art."_s)
        << lastMessage().toStdString();
    EXPECT_TRUE(confirmation.asked.isEmpty());
    EXPECT_FALSE(QFile::exists(music().file(u"A/Folder.jpg"_s)));
}

// Whatever is no whole, sensibly sized picture gets the not-an-image
// message and is never offered.
TEST_F(DropProcessingTest, WhatIsNoCoverIsNeverOffered) {
    const QString path = song(u"A/1.mp3"_s);
    scan();
    select(path);
    QList<QString> drops{imageBytes("plain text", u"notes.jpg"_s),
                         imageBytes({}, u"empty.jpg"_s),
                         imageBytes(truncatedJpeg(), u"cut.jpg"_s),
                         imageBytes(pngDeclaring(100000, 100000), u"bomb.png"_s),
                         music().file(u"a folder"_s),
                         music().file(u"vanished.jpg"_s)};
    QDir().mkpath(music().file(u"a folder"_s));
    const QString huge = music().file(u"huge.jpg"_s);
    {
        QFile file(huge);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(readFile(seedPath(u"cover-300.jpg"_s)));
        ASSERT_TRUE(file.resize(65 * 1024 * 1024)); // sparse: no disk used
    }
    drops.append(huge);
    for (const QString& dropped : drops) {
        ui.messages.shown.clear();
        drop({dropped});
        EXPECT_EQ(lastMessage(), NotAnImageMessage()) << dropped.toStdString();
    }
    drop({});
    EXPECT_EQ(lastMessage(), NotAnImageMessage()) << "a drop that left no file";
    EXPECT_TRUE(confirmation.asked.isEmpty());
    EXPECT_FALSE(QFile::exists(music().file(u"A/Folder.jpg"_s)));
}

TEST_F(DropProcessingTest, AFolderThatCannotBeWrittenKeepsItsFileAndSaysSo) {
    const QString path = song(u"A/1.mp3"_s);
    const QString old = image(u"cover-75.jpg"_s, u"A/Folder.jpg"_s);
    scan();
    select(path);
    const QString dropped = image(u"cover-600.jpg"_s, u"cover.jpg"_s);
    {
        ReadOnlyFolder locked(music().file(u"A"_s));
        if (!locked.effective())
            GTEST_SKIP() << "no way to make a folder read-only here";
        drop({dropped});
    }
    EXPECT_EQ(readFile(old), readFile(seedPath(u"cover-75.jpg"_s)));
    EXPECT_TRUE(lastMessage().contains(music().file(u"A/Folder.jpg"_s)))
        << lastMessage().toStdString();
}

} // namespace
