// The details panel's texts: bracket stripping, the size and path labels, the option captions and
// the files shown per kind.

#include "mainwindow/TrackDetailsText.h"
#include "mainwindow/KindImageFile.h"
#include "tests/common/TestFiles.h"

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
        {u"A (x) B (y) C"_s, u"A  B  C"_s},
        {u"Joined(x)Word"_s, u"JoinedWord"_s},
        {u"(a (b) c) d"_s, u"c) d"_s},
        {u"Open (without close"_s, u"Open (without close"_s},
        {u"Close) without open"_s, u"Close) without open"_s},
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

// The panel's tests show the counts of two and more images.
TEST(TrackDetailsText, ASingleImageIsNotCounted) {
    EXPECT_EQ(EmbeddedCaption(1), u"Embedded"_s);
    EXPECT_EQ(OtherFileCaption(1), u"Other file"_s);
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
    EXPECT_EQ(FolderKindFile(record, catalogue::ArtKindDownloaded, 1), u""_s);

    record.WmpGuidLcase.clear();
    EXPECT_EQ(NamedKindFile(record, catalogue::ArtKindWmpSmall), u"AlbumArt_{}_Small.JPG"_s);
    record.Location.clear();
    EXPECT_EQ(FolderKindFile(record, catalogue::ArtKindFolderJpg, 1), u""_s);
}

} // namespace
