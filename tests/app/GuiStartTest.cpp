// The quillmoth program's start: which library it opens, what it remembers for
// the next start, and its command line, the last run as the real executable.

#include "mainwindow/CommandKeys.h"
#include "mainwindow/FormMain.h"
#include "mainwindow/StartUp.h"
#include "support/Registry.h"
#include "support/RegistryKeys.h"
#include "support/SettingsFile.h"
#include "tests/common/ScriptedUi.h"
#include "tests/common/TestFiles.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using testing_support::ScriptedUi;
using testing_support::TempFolder;

namespace {

// Points the settings at private files, as a fresh user account would have.
class StartUpTest : public ::testing::Test {
protected:
    void SetUp() override {
        support::SetRegistryFiles({userStore(), settings.file(u"machine.json"_s)});
        library.copySeed(u"seed.mp3"_s, u"Album/01 song.mp3"_s);
    }
    void TearDown() override {
        support::ResetRegistryFiles();
        QDir::setCurrent(previousFolder);
    }
    QString userStore() const { return settings.file(u"user.json"_s); }
    QString rememberedLibrary() const {
        return support::RegGetString(support::Hive::CurrentUser, support::KEY_QUILLMOTH,
                                     support::VALUE_LAST_LIBRARY);
    }

    TempFolder settings;
    TempFolder library;
    const QString previousFolder = QDir::currentPath();
};

TEST_F(StartUpTest, RelativeLibraryPathIsRememberedAsAbsolute) {
    ASSERT_TRUE(QDir::setCurrent(library.path()));
    ScriptedUi ui;
    auto window = mainwindow::StartMainWindow(ui.services(),
                                              mainwindow::MakeLibraryOpener(u"./Album/../Album"_s));
    ASSERT_TRUE(window);
    EXPECT_EQ(rememberedLibrary(), library.path() + u"/Album"_s);
    // The next start, made from another folder, still finds it.
    ASSERT_TRUE(QDir::setCurrent(settings.path()));
    EXPECT_EQ(mainwindow::ChooseLibraryPath(QString()), library.path() + u"/Album"_s);
}

TEST_F(StartUpTest, RememberedLibraryThatIsGoneGivesWayToTheMusicFolder) {
    const QString musicFolder = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
    support::RegSetString(support::Hive::CurrentUser, support::KEY_QUILLMOTH,
                          support::VALUE_LAST_LIBRARY, library.file(u"renamed away"_s));
    EXPECT_EQ(mainwindow::ChooseLibraryPath(QString()), musicFolder);
    // Named on the command line, a missing library is still what is opened
    // (and reported): the user asked for it.
    EXPECT_EQ(mainwindow::ChooseLibraryPath(library.file(u"renamed away"_s)),
              library.file(u"renamed away"_s));
    support::RegSetString(support::Hive::CurrentUser, support::KEY_QUILLMOTH,
                          support::VALUE_LAST_LIBRARY, library.path());
    EXPECT_EQ(mainwindow::ChooseLibraryPath(QString()), library.path());
}

TEST_F(StartUpTest, FailedOpeningHandsOnTheEnginesReason) {
    QStringList reasons;
    ScriptedUi ui;
    const QString missing = library.file(u"no such library"_s);
    auto window = mainwindow::StartMainWindow(
        ui.services(), mainwindow::MakeLibraryOpener(
                           missing, [&](const QString& reason) { reasons.append(reason); }));
    EXPECT_FALSE(window);
    ASSERT_EQ(reasons.size(), 1);
    EXPECT_TRUE(reasons.first().contains(missing)) << reasons.first().toStdString();
    EXPECT_EQ(ui.messages.shown.size(), 1); // the connection-failure message, nothing more
    EXPECT_TRUE(rememberedLibrary().isEmpty());
}

TEST_F(StartUpTest, SuppressedStepThreeHintStaysSuppressedAfterARestart) {
    const auto clickStep3 = [](mainwindow::FormMain& window) {
        window.toolbarButton(mainwindow::keys::Step3)->click();
    };
    {
        ScriptedUi ui;
        ui.messages.checkBoxAnswers = {true};
        auto window = mainwindow::StartMainWindow(ui.services(),
                                                  mainwindow::MakeLibraryOpener(library.path()));
        ASSERT_TRUE(window);
        clickStep3(*window);
        ASSERT_EQ(ui.messages.shown.size(), 1);
        EXPECT_TRUE(ui.messages.shown.first().withCheckBox);
    }
    // What the next run reads: the store on disk, through a reader of its own.
    const auto onDisk = support::SettingsFile(userStore())
                            .value(support::KEY_DONT_SHOW_AGAIN, support::MSG_KEY_STEP3);
    ASSERT_TRUE(onDisk.has_value());
    EXPECT_EQ(onDisk->text, u"no"_s);
    const auto lastOnDisk = support::SettingsFile(userStore())
                                .value(support::KEY_QUILLMOTH, support::VALUE_LAST_LIBRARY);
    ASSERT_TRUE(lastOnDisk.has_value());
    EXPECT_EQ(lastOnDisk->text, library.path());

    ScriptedUi ui;
    auto window = mainwindow::StartMainWindow(
        ui.services(), mainwindow::MakeLibraryOpener(mainwindow::ChooseLibraryPath(QString())));
    ASSERT_TRUE(window);
    clickStep3(*window);
    clickStep3(*window);
    EXPECT_TRUE(ui.messages.shown.isEmpty());
    // The third click of a user who hid the hint brings it back.
    clickStep3(*window);
    EXPECT_EQ(ui.messages.shown.size(), 1);
}

// The real executable, for what only a whole run shows: its options and its
// exit status. None of these runs gets as far as a window.
struct RunResult {
    int exitCode = -1;
    QString out;
    QString err;
};

RunResult runQuillmoth(const QStringList& arguments) {
    TempFolder home;
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // Never the settings of whoever runs the tests.
    environment.insert(u"HOME"_s, home.path());
    environment.insert(u"XDG_CONFIG_HOME"_s, home.file(u"config"_s));
    environment.insert(u"XDG_DATA_HOME"_s, home.file(u"data"_s));
    environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(QUILLMOTH_GUI_PATH), arguments);
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        ADD_FAILURE() << "quillmoth did not end";
        return {};
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

TEST(QuillmothCommandLine, HelpAndVersionEndAtOnceWithSuccess) {
    const RunResult help = runQuillmoth({u"--help"_s});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains(u"--library <path>"_s)) << help.out.toStdString();
    EXPECT_TRUE(help.out.contains(u"--demo"_s));
    const RunResult version = runQuillmoth({u"--version"_s});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(version.out.contains(u"2.3"_s)) << version.out.toStdString();
}

TEST(QuillmothCommandLine, CommandLinesItCannotUnderstandFail) {
    const struct {
        QStringList arguments;
        QString complaint;
    } cases[] = {
        {{u"/some/music"_s}, u"unexpected argument \"/some/music\""_s},
        {{u"--demo"_s, u"--library"_s, u"/some/music"_s}, u"cannot be used together"_s},
        {{u"--no-such-option"_s}, u"no-such-option"_s},
        {{u"--library"_s}, u"library"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        const RunResult run = runQuillmoth(c.arguments);
        EXPECT_NE(run.exitCode, 0);
        EXPECT_TRUE(run.err.contains(c.complaint)) << run.err.toStdString();
    }
}

} // namespace
