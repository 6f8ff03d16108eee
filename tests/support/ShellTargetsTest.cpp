#include "support/ShellTargets.h"

#include "tests/common/ScriptedUi.h"
#include "tests/common/TestFiles.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace support;
using testing_support::ScriptedMessageBoxes;
using testing_support::TempFolder;
using testing_support::writeFile;

namespace {

TEST(ShellOpen, BlankTextsOpenNothing) {
    QList<QUrl> opened;
    const UrlOpener record = [&](const QUrl& url) {
        opened.append(url);
        return true;
    };
    for (const QString& blank : {QString(), u""_s, u"   "_s, u"\t \r\n"_s})
        ShellOpenWith(blank, record);
    EXPECT_TRUE(opened.isEmpty());
}

TEST(ShellOpen, OpensTrimmedAddressesAndPaths) {
    QList<QUrl> opened;
    const UrlOpener record = [&](const QUrl& url) {
        opened.append(url);
        return false; // a failure stays silent
    };
    ShellOpenWith(u"  https://quillmoth.example.org/docs/  "_s, record);
    ShellOpenWith(u"quillmoth.example.org"_s, record);
    ShellOpenWith(u"/music/a b/Folder.jpg"_s, record);
    ASSERT_EQ(opened.size(), 3);
    EXPECT_EQ(opened[0], QUrl(u"https://quillmoth.example.org/docs/"_s));
    EXPECT_EQ(opened[1], QUrl(u"http://quillmoth.example.org"_s));
    EXPECT_EQ(opened[2], QUrl::fromLocalFile(u"/music/a b/Folder.jpg"_s));
}

TEST(ShowInExplorer, PathWithBlanksAndQuotesBecomesAnEncodedFileUri) {
    EXPECT_EQ(FileUri(u"/music/My Album/\"Best\" of 'x' #1 100%.mp3"_s),
              u"file:///music/My%20Album/%22Best%22%20of%20'x'%20%231%20100%25.mp3"_s);
    EXPECT_EQ(FileUri(u"/music/Bj\u00f6rk.mp3"_s), u"file:///music/Bj%C3%B6rk.mp3"_s);
}

TEST(ShowInExplorer, ExistingFileIsSelected) {
    TempFolder temp;
    const QString song = temp.file(u"an album/01 \"song\".mp3"_s);
    writeFile(song, "x");
    const ExplorerTarget target = ShowInExplorerTarget(song);
    EXPECT_EQ(target.kind, ExplorerTarget::Kind::SelectFile);
    EXPECT_EQ(target.url.toString(QUrl::FullyEncoded), FileUri(song));
    EXPECT_EQ(target.url.toLocalFile(), song);
}

TEST(ShowInExplorer, EmptyPathOpensHomeAndMissingFileItsNearestFolder) {
    const ExplorerTarget home = ShowInExplorerTarget(u"  "_s);
    EXPECT_EQ(home.kind, ExplorerTarget::Kind::OpenFolder);
    EXPECT_EQ(home.url, QUrl::fromLocalFile(QDir::homePath()));

    TempFolder temp;
    const ExplorerTarget missing = ShowInExplorerTarget(temp.path() + u"/gone/deeper/song.mp3"_s);
    EXPECT_EQ(missing.kind, ExplorerTarget::Kind::OpenFolder);
    EXPECT_EQ(missing.url, QUrl::fromLocalFile(temp.path()));
}

TEST(ViewFileInExplorer, WithoutSelectedRowWarnsAndAsksToDisable) {
    ScriptedMessageBoxes boxes;
    QStringList shownPaths;
    const auto show = [&](const QString& path) { shownPaths.append(path); };

    EXPECT_FALSE(ViewFileInExplorer(std::nullopt, boxes, show));
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.shown[0].text, u"Please select a song before choosing this menu command."_s);
    EXPECT_EQ(boxes.shown[0].icon, MbExclamation);
    EXPECT_EQ(boxes.shown[0].buttons, MbOk);

    EXPECT_TRUE(ViewFileInExplorer(QString(), boxes, show));
    EXPECT_TRUE(ViewFileInExplorer(u"/music/a b.mp3"_s, boxes, show));
    EXPECT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(shownPaths, QStringList{u"/music/a b.mp3"_s});
}

} // namespace
