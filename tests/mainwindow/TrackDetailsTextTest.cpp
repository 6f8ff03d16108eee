// The details panel's texts: bracket stripping, the size and path labels, the option captions, the
// files shown per kind and the web site table.

#include "mainwindow/TrackDetailsText.h"
#include "mainwindow/KindImageFile.h"
#include "mainwindow/WebSites.h"
#include "tests/common/TestFiles.h"

#include <QSet>
#include <QUrl>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace mainwindow;

namespace {

// Only closed groups go; the first close after the first open ends a group.
TEST(TrackDetailsText, StripBracketGroupsRemovesClosedGroupsOnly) {
    const struct {
        QString input;
        QString expected;
    } cases[] = {
        {u"A [Live]"_s, u"A"_s},
        {u"B (Remastered) {Deluxe}"_s, u"B"_s},
        {u"(Intro)"_s, u""_s},
        {u"  Plain title  "_s, u"Plain title"_s},
        {u"A (x) B (y) C"_s, u"A  B  C"_s},
        {u"Joined(x)Word"_s, u"JoinedWord"_s},
        {u"(a (b) c) d"_s, u"c) d"_s},
        {u"Open (without close"_s, u"Open (without close"_s},
        {u"Close) without open"_s, u"Close) without open"_s},
        {u"Back ) to ( front"_s, u"Back ) to ( front"_s},
        {u"Mixed [one (two] three)"_s, u"Mixed [one"_s},
        {u"{a}[b](c)"_s, u""_s},
        {u" x (1) (2) "_s, u"x"_s},
        {u""_s, u""_s},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StripBracketGroups(c.input), c.expected) << '"' << c.input.toStdString() << '"';
}

TEST(TrackDetailsText, SizeLabelGroupsThousandsAndWritesNothingForZero) {
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    EXPECT_EQ(ImageSizeText(123456, english), u"123,456 bytes"_s);
    EXPECT_EQ(ImageSizeText(999, english), u"999 bytes"_s);
    EXPECT_EQ(ImageSizeText(1234567890, english), u"1,234,567,890 bytes"_s);
    EXPECT_EQ(ImageSizeText(0, english), u" bytes"_s);
    QLocale noGrouping = english;
    noGrouping.setNumberOptions(QLocale::OmitGroupSeparator);
    EXPECT_EQ(ImageSizeText(123456, noGrouping), u"123,456 bytes"_s);
}

TEST(TrackDetailsText, PathLabelBreaksAfterTheFolder) {
    EXPECT_EQ(SplitPathForLabel(u"/music/a b/Folder.jpg"_s), u"/music/a b/ Folder.jpg"_s);
    EXPECT_EQ(SplitPathForLabel(u"Folder.jpg"_s), u"Folder.jpg"_s);
    EXPECT_EQ(SplitPathForLabel(u""_s), u""_s);
}

TEST(TrackDetailsText, CountedCaptionsFromTwoImagesOn) {
    EXPECT_EQ(EmbeddedCaption(0), u"Embedded"_s);
    EXPECT_EQ(EmbeddedCaption(1), u"Embedded"_s);
    EXPECT_EQ(EmbeddedCaption(3), u"Embedded (3)"_s);
    EXPECT_EQ(OtherFileCaption(1), u"Other file"_s);
    EXPECT_EQ(OtherFileCaption(12), u"Other file (12)"_s);
}

// The panel's tests show the kinds named after the album folder's files; here
// the files named after Windows Media Player's album id, and the kinds that
// have no file.
TEST(KindImageFile, WmpFilesByAlbumIdAndKindsWithoutAFile) {
    testing_support::TempFolder folder;
    const QString guid = u"0123abcd-0000-1111-2222-333344445555"_s;
    const QString large = u"albumart_{"_s + guid + u"}_large.jpg"_s;
    testing_support::writeFile(folder.file(large), "x");

    catalogue::TrackRecord record;
    record.Location = folder.file(u"song.mp3"_s);
    record.WmpGuidLcase = guid;
    record.OtherImages = {u"cover.png"_s};
    const QString base = folder.path() + u'/';

    EXPECT_EQ(FolderKindFile(record, catalogue::ArtKindWmpLarge, 1), base + large);
    // Not there: the name the kind stands for.
    EXPECT_EQ(FolderKindFile(record, catalogue::ArtKindWmpSmall, 1),
              base + u"AlbumArt_{"_s + guid.toUpper() + u"}_Small.JPG"_s);
    EXPECT_EQ(FolderKindFile(record, catalogue::ArtKindOther, 2), u""_s);
    EXPECT_EQ(FolderKindFile(record, catalogue::ArtKindOther, 0), u""_s);
    EXPECT_EQ(FolderKindFile(record, catalogue::ArtKindEmbedded, 1), u""_s);
    EXPECT_EQ(FolderKindFile(record, catalogue::ArtKindDownloaded, 1), u""_s);

    record.WmpGuidLcase.clear();
    EXPECT_EQ(NamedKindFile(record, catalogue::ArtKindWmpSmall), u"AlbumArt_{}_Small.JPG"_s);
    record.Location.clear();
    EXPECT_EQ(FolderKindFile(record, catalogue::ArtKindFolderJpg, 1), u""_s);
}

TEST(WebSites, DistinctIdsPositionsAndWebAddresses) {
    const std::vector<WebSite>& sites = WebSiteTable();
    QSet<int> ids;
    for (size_t i = 0; i < sites.size(); ++i) {
        EXPECT_EQ(sites[i].position, static_cast<int>(i));
        ids.insert(sites[i].id);
        const QUrl url(sites[i].address);
        EXPECT_TRUE(url.isValid());
        EXPECT_EQ(url.scheme(), u"https"_s);
        // The site's page as it is: no search query is built in.
        EXPECT_FALSE(url.hasQuery());
        EXPECT_EQ(WebSiteById(sites[i].id), &sites[i]);
    }
    EXPECT_EQ(ids.size(), qsizetype(sites.size()));
    EXPECT_EQ(WebSiteById(99), nullptr);
}

} // namespace
