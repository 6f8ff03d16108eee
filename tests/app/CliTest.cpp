// quillmoth-cli as its users see it: exact tab-separated output, exit
// statuses and messages.

#include "app/cli/CliHelp.h"
#include "tests/musiclibrary/LibraryTestSupport.h"

#include <QFileInfo>
#include <QProcess>

using namespace musiclibrary;
using namespace testing_support;
using namespace Qt::StringLiterals;

namespace {

struct CliRun {
    int exitCode = -1;
    QString out;
    QString err;
};

class CliTest : public LibraryTest {
protected:
    void SetUp() override {
        makeSong(music(), u"a/1.mp3"_s, {u"One"_s, u"Ann"_s, u"Alpha"_s, 1}, {u"cover-300.jpg"_s});
        makeSong(music(), u"b/2.m4a"_s, {u"Two"_s, {}, {}, 0});
        writeFile(music().file(u"c/3.mp3"_s), QByteArray(2048, '\x7f'));
    }

    CliRun
    run(const QStringList& arguments, bool withLibrary = true,
        const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) const {
        QProcess process;
        process.setProcessEnvironment(environment);
        QStringList all = {u"--data-folder"_s, dataFolder()};
        if (withLibrary)
            all << u"--library"_s << music().path();
        process.start(QStringLiteral(QUILLMOTH_CLI_PATH), all + arguments);
        EXPECT_TRUE(process.waitForFinished(60000));
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

    // The id fields the program prints for track position (0-based).
    QString idFields(int position) const {
        const ITunesPtr library = openMusic();
        int32_t high = 0, low = 0;
        library->GetITObjectPersistentIDs(allTracks(*library)[position], high, low);
        return QString::number(high) + u'\t' + QString::number(low);
    }

    static QString seedSize(const QString& name) {
        return QString::number(QFileInfo(seedPath(name)).size());
    }
};

TEST_F(CliTest, TracksListsEveryTrack) {
    const CliRun result = run({u"tracks"_s});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(result.out, u"1\t"_s + idFields(0) + u"\tMPEG audio file\t1\tOne\tAnn\tAlpha\t1\t"_s +
                              music().path() + u"/a/1.mp3\n2\t"_s + idFields(1) +
                              u"\tAAC audio file\t0\tTwo\t\t\t0\t"_s + music().path() +
                              u"/b/2.m4a\n3\t"_s + idFields(2) +
                              u"\tMPEG audio file\t-\t3\t\t\t0\t"_s + music().path() +
                              u"/c/3.mp3\n"_s);
    EXPECT_TRUE(result.err.isEmpty());
}

TEST_F(CliTest, ArtworkCommandsRoundTrip) {
    const QString png = seedPath(u"cover-160x120.png"_s);
    CliRun result = run({u"add-artwork"_s, u"1"_s, png});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(result.out, u"added\t1\t2\n"_s);

    result = run({u"artwork"_s, u"1"_s});
    EXPECT_EQ(result.out, u"1\t1\t0\t"_s + seedSize(u"cover-300.jpg"_s) +
                              u"\t300\t300\n2\t2\t0\t"_s + seedSize(u"cover-160x120.png"_s) +
                              u"\t160\t120\n"_s);

    const QString saved = music().file(u"out/saved.png"_s);
    result = run({u"save-artwork"_s, u"1"_s, u"2"_s, saved});
    EXPECT_EQ(result.out, u"saved\t"_s + saved + u'\t' + seedSize(u"cover-160x120.png"_s) + u'\n');
    EXPECT_EQ(readFile(saved), readFile(png));

    result = run({u"delete-artwork"_s, u"1"_s, u"1"_s});
    EXPECT_EQ(result.out, u"deleted\t1\t1\t1\n"_s);
    result = run({u"artwork"_s, u"1"_s});
    EXPECT_EQ(result.out, u"1\t2\t0\t"_s + seedSize(u"cover-160x120.png"_s) + u"\t160\t120\n"_s);

    result = run({u"set-downloaded"_s, u"2"_s, seedPath(u"cover-48.bmp"_s)});
    EXPECT_EQ(result.out, u"downloaded\t2\t3\n"_s);
    result = run({u"artwork"_s, u"2"_s});
    EXPECT_EQ(result.out, u"1\t3\t1\t"_s + seedSize(u"cover-48.bmp"_s) + u"\t48\t48\n"_s);
}

TEST_F(CliTest, UndecodableImageHasNoSize) {
    const QString fake = music().file(u"fake.jpg"_s);
    writeFile(fake, QByteArray("\xFF\xD8\xFF") + QByteArray(100, '\0'));
    ASSERT_EQ(run({u"add-artwork"_s, u"2"_s, fake}).exitCode, 0);
    EXPECT_EQ(run({u"artwork"_s, u"2"_s}).out, u"1\t1\t0\t103\t0\t0\n"_s);
}

TEST_F(CliTest, PlaylistsListsNamesAndCounts) {
    {
        const ITunesPtr library = openMusic();
        const UserPlaylistPtr playlist = library->CreatePlaylist(u"Road trip"_s);
        playlist->AddTrack(allTracks(*library)[1]);
        playlist->AddTrack(allTracks(*library)[0]);
        library->CreatePlaylist(u"Empty"_s);
    }
    const CliRun result = run({u"playlists"_s});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, u"Road trip\t2\nEmpty\t0\n"_s);
}

TEST_F(CliTest, DemoBuildsAndPrintsLibraryFile) {
    const QString folder = music().path() + u"/demo"_s;
    const CliRun result = run({u"demo"_s, folder}, false);
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(result.out, folder + u"/Demo Library.xml\n"_s);
    EXPECT_EQ(allTracks(*open(folder + u"/Demo Library.xml"_s)).size(), 24);
}

// Whatever the table holds, the usage names every command and each command
// answers --help with its own synopsis, every option it takes and its exit
// statuses, and nothing else.
TEST_F(CliTest, VersionUsageAndEveryCommandsHelpEndAtOnceWithSuccess) {
    const CliRun version = run({u"--version"_s}, false);
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, u"quillmoth-cli "_s + QStringLiteral(QUILLMOTH_VERSION) + u'\n');
    const CliRun usage = run({u"--help"_s}, false);
    EXPECT_EQ(usage.exitCode, 0);
    EXPECT_TRUE(version.err.isEmpty() && usage.err.isEmpty());
    for (const cli::Command& command : cli::commandTable()) {
        SCOPED_TRACE(command.name.toStdString());
        EXPECT_TRUE(usage.out.contains(u"\n  "_s + cli::commandCall(command)));
        const CliRun result = run({command.name, u"--help"_s}, false);
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_TRUE(result.err.isEmpty()) << result.err.toStdString();
        EXPECT_TRUE(result.out.startsWith(u"Usage: quillmoth-cli "_s));
        EXPECT_FALSE(result.out.contains(u"Commands:"_s)) << "the whole usage instead";
        EXPECT_TRUE(result.out.simplified().contains(cli::commandCall(command).simplified()));
        for (const cli::CommandOption& option : cli::allOptions(command))
            EXPECT_TRUE(result.out.contains(u"\n  "_s + option.name + u' '))
                << option.name.toStdString();
        for (const cli::ExitStatus& status : cli::exitStatuses(command))
            EXPECT_TRUE(result.out.contains(u"\n  %1  "_s.arg(status.code)));
    }
    // The order of other tools works too.
    EXPECT_EQ(run({u"--help"_s, u"embed"_s}, false).out, run({u"embed"_s, u"--help"_s}, false).out);
}

// Qt's own diagnostics (a missing runtime folder under cron or su; here the
// plugin loader's, which QT_DEBUG_PLUGINS turns on for certain) must not
// reach a script's standard error unless asked for.
TEST_F(CliTest, QtDiagnosticsOnlyWhenAskedFor) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(u"XDG_RUNTIME_DIR"_s);
    environment.insert(u"QT_DEBUG_PLUGINS"_s, u"1"_s);
    const CliRun quiet = run({u"artwork"_s, u"1"_s}, true, environment);
    EXPECT_EQ(quiet.exitCode, 0);
    EXPECT_EQ(quiet.out, u"1\t1\t0\t"_s + seedSize(u"cover-300.jpg"_s) + u"\t300\t300\n"_s);
    EXPECT_TRUE(quiet.err.isEmpty()) << quiet.err.toStdString();

    const CliRun verbose = run({u"--verbose"_s, u"artwork"_s, u"1"_s}, true, environment);
    EXPECT_EQ(verbose.out, quiet.out);
    EXPECT_TRUE(verbose.err.contains(u"qt.core.plugin"_s)) << verbose.err.toStdString();
    environment.insert(QString::fromLatin1(cli::VerboseVariable), u"1"_s);
    EXPECT_EQ(run({u"artwork"_s, u"1"_s}, true, environment).err, verbose.err);
}

struct FailingCall {
    const char* label;
    QStringList arguments;
    int exitCode;
    QString errorStart;
};

class CliFailureTest : public CliTest, public ::testing::WithParamInterface<FailingCall> {};

TEST_P(CliFailureTest, ExitsWithStatusAndMessage) {
    QStringList arguments = GetParam().arguments;
    arguments.replaceInStrings(u"$MUSIC"_s, music().path());
    const CliRun result = run(arguments);
    EXPECT_EQ(result.exitCode, GetParam().exitCode);
    EXPECT_TRUE(result.out.isEmpty()) << result.out.toStdString();
    QString expected = GetParam().errorStart;
    expected.replace(u"$MUSIC"_s, music().path());
    EXPECT_TRUE(result.err.startsWith(expected)) << result.err.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Calls, CliFailureTest,
    ::testing::Values(
        FailingCall{"noCommand", {}, 2, u"Usage: quillmoth-cli"_s},
        FailingCall{"unknownCommand", {u"frobnicate"_s}, 2, u"Unknown command \"frobnicate\"."_s},
        FailingCall{
            "missingArgument", {u"artwork"_s}, 2, u"Wrong number of arguments for \"artwork\"."_s},
        FailingCall{"unknownOption",
                    {u"embed"_s, u"--frobnicate"_s},
                    2,
                    u"Unknown option \"--frobnicate\".\n\nUsage: quillmoth-cli "_s},
        FailingCall{"badIndex",
                    {u"artwork"_s, u"x"_s},
                    2,
                    u"The track index must be a whole number from 1 up, not \"x\"."_s},
        FailingCall{"indexOutOfRange",
                    {u"artwork"_s, u"9"_s},
                    1,
                    u"There is no track 9: the collection holds 3.\n"_s},
        FailingCall{
            "unreadableTags",
            {u"artwork"_s, u"3"_s},
            1,
            u"Cannot read the artwork of \"$MUSIC/c/3.mp3\": the file's tags cannot be read.\n"_s},
        FailingCall{"missingLibrary",
                    {u"--library"_s, u"$MUSIC/none"_s, u"tracks"_s},
                    1,
                    u"The music library \"$MUSIC/none\" does not exist.\n"_s},
        FailingCall{"missingImage",
                    {u"add-artwork"_s, u"1"_s, u"$MUSIC/none.jpg"_s},
                    1,
                    u"The image file \"$MUSIC/none.jpg\" does not exist.\n"_s}),
    [](const auto& info) { return std::string(info.param.label); });

} // namespace
