// Drops: the decoder on the drags that programs really send, and what the
// main window does with a dropped image, on real files.

#include "artwork/DropProcessing.h"
#include "artwork/OleDnd.h"
#include "support/FileAttributes.h"
#include "tests/artwork/ArtworkTestSupport.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QImage>
#include <QMimeData>
#include <QUrl>

using namespace Qt::StringLiterals;
using namespace artwork;
using namespace testing_support;

namespace {

// What Qt hands the window when a picture of a web page is dragged from a
// real browser under X11, format by format in the order offered (measured
// with Debian's chromium 156 and firefox-esr 153 under Xvfb). Chromium's X
// targets text/x-moz-url and UTF8_STRING, STRING and TEXT reach Qt as
// text/uri-list and text/plain.
const QStringList ChromiumOffer =
    u"text/uri-list text/plain XdndDirectSave0 application/octet-stream chromium/x-renderer-taint "
    u"text/html chromium/x-drag-id"_s.split(u' ');
const QStringList FirefoxOffer =
    u"text/uri-list _NETSCAPE_URL text/x-moz-url-data text/x-moz-url-desc "
    u"application/x-moz-custom-clipdata text/_moz_htmlcontext text/_moz_htmlinfo text/html "
    u"text/plain text/plain;charset=utf-8 application/x-moz-nativeimage image/png image/jpeg "
    u"image/jpg image/gif application/x-moz-file-promise XdndDirectSave0 "
    u"application/x-moz-file-promise-url application/x-moz-file-promise-dest-filename "
    u"application/x-qt-image"_s.split(u' ');

const QByteArray PictureAddress = "http://127.0.0.1:8765/cover.jpg";

// A drag with the formats of offer, each holding what that browser put in
// it; the formats that carried nothing are empty.
std::unique_ptr<QMimeData> browserDrag(const QStringList& offer,
                                       const QHash<QString, QByteArray>& payloads) {
    auto data = std::make_unique<QMimeData>();
    for (const QString& format : offer) {
        if (format == u"text/uri-list"_s)
            data->setUrls({QUrl(QString::fromLatin1(PictureAddress))});
        else if (format.startsWith(u"text/plain"_s))
            data->setText(QString::fromLatin1(PictureAddress));
        else if (format == u"text/html"_s)
            data->setHtml(u"<img src=\""_s + QString::fromLatin1(PictureAddress) + u"\">"_s);
        else
            data->setData(format, payloads.value(format));
    }
    return data;
}

// Chromium hands over the served file itself, as application/octet-stream.
std::unique_ptr<QMimeData> chromiumImageDrag(const QByteArray& served) {
    return browserDrag(ChromiumOffer,
                       {{u"application/octet-stream"_s, served},
                        {u"XdndDirectSave0"_s, "."},
                        {u"chromium/x-drag-id"_s, "48E789BCD82A40EF772BB153CB6BB97D"}});
}

// Firefox hands over its own encodings of the decoded picture: a PNG first,
// then a JPEG.
std::unique_ptr<QMimeData> firefoxImageDrag(const QByteArray& png, const QByteArray& jpeg) {
    return browserDrag(FirefoxOffer, {{u"image/png"_s, png},
                                      {u"application/x-qt-image"_s, png},
                                      {u"image/jpeg"_s, jpeg},
                                      {u"_NETSCAPE_URL"_s, PictureAddress}});
}

// An inline picture of a page: its bytes as a data: address.
std::unique_ptr<QMimeData> inlineImageDrag(const QByteArray& png) {
    auto data = std::make_unique<QMimeData>();
    data->setData(u"chromium/x-renderer-taint"_s, {});
    data->setUrls({QUrl(u"data:image/png;base64,"_s + QString::fromLatin1(png.toBase64()))});
    data->setHtml(u"<img src=\"data:image/png;base64,"_s + QString::fromLatin1(png.toBase64()) +
                  u"\">"_s);
    return data;
}

// What a drop leaves in folder as the dropped file; empty when refused.
QByteArray droppedBytes(const QMimeData& data, const QString& folder) {
    OleDnd decoder(folder);
    if (decoder.OleDragOver(&data, MainWindowDropTag) != EffectCopyAndLink ||
        decoder.DropKind != DropFilesKind)
        return {};
    bool start = false;
    decoder.OleDrop(&data, MainWindowDropTag, &start);
    if (!start || decoder.DropFiles.size() != 1 || !decoder.DropFiles[0].startsWith(folder))
        return {};
    return readFile(decoder.DropFiles[0]);
}

// Text and addresses are refused; files are taken by the main window only,
// and only while drops are allowed.
TEST(DropDecoder, TheMainWindowTakesFilesOnlyAndTheAboutBoxNothing) {
    TempFolder folder;
    OleDnd decoder(folder.path());
    for (const QString& text :
         QStringList{u"  just words  "_s, u"http://example.org"_s, u"HTTPS://x"_s, u"ftp://h/f"_s,
                     u"mailto:someone@example.org"_s, WexlinkPrefix() + u"42,Road Songs"_s}) {
        QMimeData data;
        data.setText(text);
        EXPECT_EQ(decoder.OleDragOver(&data, MainWindowDropTag), EffectNone) << text.toStdString();
        EXPECT_FALSE(decoder.DropAccepted);
    }
    const QString a = folder.copySeed(u"cover-300.jpg"_s, u"a.jpg"_s);
    const QString b = folder.copySeed(u"cover-75.jpg"_s, u"b.jpg"_s);
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(a), QUrl::fromLocalFile(b)});
    EXPECT_EQ(decoder.OleDragOver(&files, MainWindowDropTag), EffectCopyAndLink);
    bool start = false;
    EXPECT_EQ(decoder.OleDrop(&files, MainWindowDropTag, &start), EffectCopyAndLink);
    EXPECT_TRUE(start);
    EXPECT_EQ(decoder.DropFiles, (QStringList{a, b}));

    EXPECT_EQ(decoder.OleDrop(&files, AboutBoxDropTag, &start), EffectNone);
    EXPECT_FALSE(start);
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
    EXPECT_FALSE(decoder.DropAccepted);
}

// A browser hands a picture over as data: the drop becomes a JPEG file in
// the application-data folder, standing for the dropped file. The served
// file's own bytes are taken when the browser offers them; a picture that
// came only as pixels is written as a baseline JPEG.
TEST(DropDecoder, BrowserImageDataBecomesAJpegFile) {
    TempFolder folder;
    const QByteArray jpeg = readFile(seedPath(u"cover-300.jpg"_s));
    const QByteArray png = readFile(seedPath(u"cover-160x120.png"_s));
    EXPECT_EQ(droppedBytes(*chromiumImageDrag(jpeg), folder.path()), jpeg);
    // Firefox's JPEG is taken over its PNG, which is several times larger.
    const QByteArray firefoxJpeg = readFile(seedPath(u"cover-200.jpg"_s));
    EXPECT_EQ(droppedBytes(*firefoxImageDrag(png, firefoxJpeg), folder.path()), firefoxJpeg);

    // Firefox's PNG alone is tried on the window (DropWindowTest).
    for (const auto& data : {chromiumImageDrag(png), inlineImageDrag(png)}) {
        const QByteArray written = droppedBytes(*data, folder.path());
        ASSERT_TRUE(written.startsWith("\xFF\xD8\xFF")) << "a JPEG file";
        QImage decoded;
        ASSERT_TRUE(decoded.loadFromData(written, "JPEG"));
        EXPECT_EQ(decoded.size(), QSize(160, 120));
    }

    // Bytes that are no picture do not make an address into an image.
    EXPECT_TRUE(
        droppedBytes(*chromiumImageDrag("PK\x03\x04 not a picture"), folder.path()).isEmpty());
    // Only an address, no picture: nothing the window can use.
    QMimeData address;
    address.setUrls({QUrl(u"https://example.org/cover.png"_s)});
    address.setText(u"https://example.org/cover.png"_s);
    OleDnd decoder(folder.path());
    EXPECT_EQ(decoder.OleDragOver(&address, MainWindowDropTag), EffectNone);
}

// A picture whose transparent parts would be black in a JPEG shows them white.
TEST(DropDecoder, TransparencyBecomesWhite) {
    QImage clear(8, 8, QImage::Format_ARGB32);
    clear.fill(Qt::transparent);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(clear.save(&buffer, "PNG"));
    QImage decoded;
    ASSERT_TRUE(decoded.loadFromData(BaselineJpeg(png), "JPEG"));
    EXPECT_GT(qGray(decoded.pixel(4, 4)), 250);
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
    void SetUp() override { QDir(trashRoot()).removeRecursively(); }
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
    EXPECT_EQ(QDir(trashRoot() + u"/files"_s).entryList(QDir::Files).size(), 1);
}

TEST_F(DropProcessingTest, TheChecksBeforeAnyQuestion) {
    const QString a = song(u"A/1.mp3"_s);
    const QString b = song(u"A/2.mp3"_s);
    const QString wav = music().copySeed(u"seed.wav"_s, u"B/talk.wav"_s);
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
    EXPECT_TRUE(lastMessage().contains(u"could not be found"_s) && lastMessage().contains(gone))
        << lastMessage().toStdString();
    select(wav, catalogue::TAB_INELIGIBLE);
    drop({dropped});
    EXPECT_TRUE(lastMessage().contains(u"does not support embedding cover art"_s))
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
    QStringList drops{music().file(u"a folder"_s), music().file(u"vanished.jpg"_s)};
    for (const BadImage& bad : badImages())
        drops.append(imageBytes(bad.bytes, QString::fromLatin1(bad.name) + u".jpg"_s));
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

} // namespace
