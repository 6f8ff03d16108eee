// get-artwork as scripts see it, against a stand-in for MusicBrainz and the
// Cover Art Archive on 127.0.0.1: the three steps of downloaded artwork
// (playlist, get, embed) end with the right covers inside the song files.

#include "musiclibrary/AudioFileIO.h"
#include "support/Registry.h"
#include "support/RegistryKeys.h"
#include "tests/artworkdownload/LookupTestSupport.h"
#include "tests/common/FakeWebServer.h"
#include "tests/musiclibrary/LibraryTestSupport.h"

#include <QEventLoop>
#include <QProcess>
#include <QTimer>

using namespace Qt::StringLiterals;
using namespace testing_support;

namespace {

const QString ReleaseId = u"76df3287-6cda-33eb-8e9a-044b5e15ffdd"_s;
const QString GroupId = u"1b022e01-4da6-387b-8658-8678046e4cef"_s;

struct Result {
    int exitCode = -1;
    QStringList lines;
    QString errors;
};

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

    // The server answers in this process, so the tool is waited for with
    // events running.
    Result run(const QStringList& arguments) {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"XDG_CONFIG_HOME"_s, m_config.path());
        environment.insert(u"XDG_DATA_HOME"_s, m_config.file(u"data"_s));
        process.setProcessEnvironment(environment);
        QEventLoop loop;
        QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
        QObject::connect(&process, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
        QTimer::singleShot(120000, &loop, &QEventLoop::quit);
        process.start(QStringLiteral(QUILLMOTH_CLI), QStringList{u"--data-folder"_s, dataFolder(),
                                                                 u"--library"_s, music().path()} +
                                                         arguments);
        loop.exec();
        EXPECT_EQ(process.state(), QProcess::NotRunning);
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()).split(u'\n'),
                QString::fromUtf8(process.readAllStandardError())};
    }

    QString song(const QString& relative, const QString& album, const QString& releaseId,
                 const QStringList& pictures = {}) {
        const musiclibrary::AlbumTags ids{{}, releaseId, {}};
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
    const QByteArray searchCover = readFile(seedPath(u"cover-200.jpg"_s));
    const QByteArray own = readFile(seedPath(u"cover-75.jpg"_s));
    const QString a1 = song(u"Blue/1.mp3"_s, u"Kind of Blue"_s, ReleaseId);
    const QString a2 = song(u"Blue/2.mp3"_s, u"Kind of Blue"_s, ReleaseId, {u"cover-75.jpg"_s});
    const QString b1 = song(u"Miles/1.m4a"_s, u"Milestones"_s, {});
    const QString c1 = song(u"Other/1.mp3"_s, u"Unknown Album"_s, {});
    services.on(u"/release/"_s + ReleaseId + u"/front-1200"_s, {respond(200, tagCover)});
    services.on(u"/ws/2/release-group/"_s,
                {jsonResponse(lookup_testing::searchAnswer(
                    {{GroupId, 100, u"Milestones"_s, u"Miles Davis"_s}}))});
    services.on(u"/release-group/"_s + GroupId + u"/front-1200"_s, {respond(200, searchCover)});

    ASSERT_EQ(run({u"download-playlist"_s}).exitCode, 0);
    const Result got = run({u"get-artwork"_s, u"--size"_s, u"1200"_s});
    ASSERT_EQ(got.exitCode, 0) << got.errors.toStdString();
    ASSERT_GE(got.lines.size(), 4);
    EXPECT_EQ(got.lines[0],
              u"1,2\tfound\trelease/"_s + ReleaseId + u"\t1 of 2 songs given the cover"_s);
    EXPECT_EQ(got.lines[1],
              u"3\tfound\trelease-group/"_s + GroupId + u"\t1 of 1 songs given the cover"_s);
    EXPECT_TRUE(got.lines[2].startsWith(u"4\tnot found\t\tMusicBrainz knows no release group"_s))
        << got.lines[2].toStdString();
    EXPECT_EQ(got.lines[3], u"Done getting album artwork."_s);
    EXPECT_TRUE(got.errors.contains(u"progress 100%"_s));
    for (const testing_support::FakeRequest& request : services.requests())
        EXPECT_TRUE(request.headers.value("user-agent").startsWith("Quillmoth/"));

    const Result embedded = run({u"embed-downloaded"_s});
    ASSERT_EQ(embedded.exitCode, 0) << embedded.errors.toStdString();
    const auto onlyPicture = [](const QString& path) {
        const QList<musiclibrary::Picture> pictures = musiclibrary::readPictures(path);
        return pictures.size() == 1 ? pictures[0].data : QByteArray();
    };
    EXPECT_EQ(onlyPicture(a1), tagCover);
    EXPECT_EQ(onlyPicture(a2), own) << "the song that had art keeps its own";
    EXPECT_EQ(onlyPicture(b1), searchCover);
    EXPECT_TRUE(musiclibrary::readPictures(c1).isEmpty());

    // A second run finds every answer in the cache or the songs served.
    const int asked = services.requests().size();
    const Result again = run({u"get-artwork"_s});
    ASSERT_EQ(again.exitCode, 0);
    EXPECT_TRUE(again.lines[0].startsWith(u"1,2\tskipped"_s)) << again.lines[0].toStdString();
    EXPECT_EQ(services.requests().size(), asked);
}

TEST_F(GetArtworkCliTest, BadArgumentsAndAMissingPlaylist) {
    song(u"Blue/1.mp3"_s, u"Kind of Blue"_s, ReleaseId);
    for (const QStringList& arguments :
         {QStringList{u"get-artwork"_s, u"--size"_s, u"huge"_s},
          QStringList{u"get-artwork"_s, u"--tracks"_s, u"1"_s, u"--playlist"_s, u"x"_s},
          QStringList{u"get-artwork"_s, u"--colour"_s}}) {
        const Result result = run(arguments);
        EXPECT_EQ(result.exitCode, 2) << arguments.join(u' ').toStdString();
        EXPECT_TRUE(result.errors.contains(u"Usage:"_s));
    }
    const Result missing = run({u"get-artwork"_s, u"--playlist"_s, u"No such list"_s});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.errors.contains(u"No such list"_s));
    const Result outside = run({u"get-artwork"_s, u"--tracks"_s, u"7"_s});
    EXPECT_EQ(outside.exitCode, 1);
    EXPECT_TRUE(services.requests().isEmpty());
}

} // namespace
