// get-artwork as scripts see it, against a stand-in for MusicBrainz and the
// Cover Art Archive on 127.0.0.1: the three steps of downloaded artwork
// (playlist, get, embed) end with the right covers inside the song files,
// one look-up per album, release ids from the tags first.

#include "musiclibrary/AudioFileIO.h"
#include "support/Registry.h"
#include "support/RegistryKeys.h"
#include "tests/artwork/CliTestSupport.h"
#include "tests/artworkdownload/LookupTestSupport.h"
#include "tests/common/FakeWebServer.h"
#include "tests/musiclibrary/LibraryTestSupport.h"

using namespace Qt::StringLiterals;
using namespace testing_support;

namespace {

const QString ReleaseId = u"76df3287-6cda-33eb-8e9a-044b5e15ffdd"_s;
const QString GroupId = u"8e8a594f-2175-3b3e-9b3a-8c4e2e1d7a31"_s;
const QString SearchedGroupId = u"1b022e01-4da6-387b-8658-8678046e4cef"_s;

class GetArtworkCliTest : public LibraryTest {
protected:
    GetArtworkCliTest() {
        // The settings of the tool: its addresses point at the stand-in.
        support::SetRegistryFiles({m_config.file(u"Tarnwick/Quillmoth/registry.json"_s),
                                   m_config.file(u"machine.json"_s)});
        support::RegSetString(support::Hive::CurrentUser, support::KEY_DOWNLOAD,
                              support::VALUE_MUSICBRAINZ_ADDRESS, services.address());
        support::RegSetString(support::Hive::CurrentUser, support::KEY_DOWNLOAD,
                              support::VALUE_COVER_ART_ARCHIVE_ADDRESS, services.address());
        support::ResetRegistryFiles();
    }

    CliResult run(const QStringList& arguments) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"XDG_CONFIG_HOME"_s, m_config.path());
        environment.insert(u"XDG_DATA_HOME"_s, m_config.file(u"data"_s));
        return runCli(
            QStringList{u"--data-folder"_s, dataFolder(), u"--library"_s, music().path()} +
                arguments,
            environment);
    }

    QString song(const QString& relative, const QString& album, const QString& releaseId,
                 const QStringList& pictures = {}, const QString& groupId = {}) {
        const musiclibrary::AlbumTags ids{{}, releaseId, groupId};
        return makeSong(music(), relative,
                        {QFileInfo(relative).baseName(), u"Miles Davis"_s, album, 1}, pictures,
                        &ids);
    }

    FakeWebServer services;

private:
    TempFolder m_config;
};

TEST_F(GetArtworkCliTest, PlaylistGetAndEmbedPutTheRightCoversIntoTheFiles) {
    const QByteArray tagCover = readFile(seedPath(u"cover-300.jpg"_s));
    const QByteArray groupCover = readFile(seedPath(u"cover-600.jpg"_s));
    const QByteArray searchCover = readFile(seedPath(u"cover-200.jpg"_s));
    const QByteArray own = readFile(seedPath(u"cover-75.jpg"_s));
    // Tagged with a release id; one song has art already.
    const QString a1 = song(u"A Blue/1.mp3"_s, u"Kind of Blue"_s, ReleaseId);
    const QString a2 = song(u"A Blue/2.mp3"_s, u"Kind of Blue"_s, ReleaseId, {u"cover-75.jpg"_s});
    // An MP4 song tagged with its release group only.
    const QString b1 = song(u"B Spain/1.m4a"_s, u"Sketches of Spain"_s, {}, {}, GroupId);
    // No ids: found by a search of artist and album.
    const QString c1 = song(u"C Miles/1.mp3"_s, u"Milestones"_s, {});
    const QString c2 = song(u"C Miles/2.mp3"_s, u"Milestones"_s, {});
    // Every song has art: not looked up at all.
    const QString d1 = song(u"D Bags/1.mp3"_s, u"Bags' Groove"_s, {}, {u"cover-75.jpg"_s});
    const QString e1 = song(u"E Other/1.mp3"_s, u"Unknown Album"_s, {});
    services.on(u"/release/"_s + ReleaseId + u"/front-1200"_s, {respond(200, tagCover)});
    services.on(u"/release-group/"_s + GroupId + u"/front-1200"_s, {respond(200, groupCover)});
    services.on(u"/ws/2/release-group/"_s,
                {jsonResponse(lookup_testing::searchAnswer(
                    {{SearchedGroupId, 100, u"Milestones"_s, u"Miles Davis"_s}}))});
    services.on(u"/release-group/"_s + SearchedGroupId + u"/front-1200"_s,
                {respond(200, searchCover)});

    ASSERT_EQ(run({u"download-playlist"_s}).exitCode, 0);
    const CliResult got = run({u"get-artwork"_s, u"--size"_s, u"1200"_s});
    ASSERT_EQ(got.exitCode, 0) << got.errors.toStdString();
    ASSERT_GE(got.lines.size(), 6);
    EXPECT_EQ(got.lines[0],
              u"1,2\tfound\trelease/"_s + ReleaseId + u"\t1 of 2 songs given the cover"_s);
    EXPECT_EQ(got.lines[1],
              u"3\tfound\trelease-group/"_s + GroupId + u"\t1 of 1 songs given the cover"_s);
    EXPECT_EQ(got.lines[2], u"4,5\tfound\trelease-group/"_s + SearchedGroupId +
                                u"\t2 of 2 songs given the cover"_s);
    EXPECT_TRUE(got.lines[3].startsWith(u"6\tskipped\t"_s)) << got.lines[3].toStdString();
    EXPECT_TRUE(got.lines[4].startsWith(u"7\tnot found\t\tMusicBrainz knows no release group"_s))
        << got.lines[4].toStdString();
    EXPECT_EQ(got.lines[5], u"Done getting album artwork."_s);
    EXPECT_TRUE(got.lines.contains(u"Number of songs given downloaded artwork: 4"_s));
    EXPECT_EQ(services.requests().size(), 5) << "one look-up per album, the searches included";
    EXPECT_EQ(services.requestsTo(u"/ws/"_s), 2);

    const CliResult embedded = run({u"embed-downloaded"_s});
    ASSERT_EQ(embedded.exitCode, 0) << embedded.errors.toStdString();
    const auto onlyPicture = [](const QString& path) {
        const QList<musiclibrary::Picture> pictures = musiclibrary::readPictures(path);
        return pictures.size() == 1 ? pictures[0].data : QByteArray();
    };
    EXPECT_EQ(onlyPicture(a1), tagCover);
    EXPECT_EQ(onlyPicture(a2), own) << "the song that had art keeps its own";
    EXPECT_EQ(onlyPicture(b1), groupCover);
    EXPECT_EQ(onlyPicture(c1), searchCover);
    EXPECT_EQ(onlyPicture(c2), searchCover);
    EXPECT_EQ(onlyPicture(d1), own);
    EXPECT_TRUE(musiclibrary::readPictures(e1).isEmpty());
}

// Bad arguments are usage errors; a playlist or tracks that do not exist are
// a failure of the command. Either way nothing is asked of the services.
TEST_F(GetArtworkCliTest, BadArgumentsAMissingPlaylistOrTrackFailWithoutAnyLookUp) {
    song(u"Blue/1.mp3"_s, u"Kind of Blue"_s, ReleaseId);
    const struct {
        QStringList arguments;
        int exitCode;
        QString error;
    } cases[] = {
        {{u"--size"_s, u"huge"_s}, 2, u"Usage:"_s},
        {{u"--tracks"_s, u"1"_s, u"--playlist"_s, u"x"_s}, 2, u"Usage:"_s},
        {{u"--playlist"_s, u"No such list"_s}, 1, u"No such list"_s},
        {{u"--tracks"_s, u"7"_s}, 1, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        const CliResult result = run(QStringList{u"get-artwork"_s} + c.arguments);
        EXPECT_EQ(result.exitCode, c.exitCode);
        EXPECT_TRUE(result.errors.contains(c.error)) << result.errors.toStdString();
    }
    EXPECT_TRUE(services.requests().isEmpty());
}

} // namespace
