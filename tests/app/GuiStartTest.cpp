// The quillmoth program's start: which library it opens, what it remembers for
// the next start, and its command line, the last run as the real executable.

#include "mainwindow/CommandKeys.h"
#include "mainwindow/FormMain.h"
#include "mainwindow/StartUp.h"
#include "support/Registry.h"
#include "support/RegistryKeys.h"
#include "tests/common/ScriptedUi.h"
#include "tests/common/TestFiles.h"

#include <QApplication>
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

TEST_F(StartUpTest, LibraryChoiceOrderAndARememberedLibraryThatIsGone) {
    EXPECT_EQ(mainwindow::ChooseLibraryPath(u"/a"_s, u"/b"_s, u"/c"_s), u"/a"_s);
    EXPECT_EQ(mainwindow::ChooseLibraryPath(QString(), u"/b"_s, u"/c"_s), u"/b"_s);
    EXPECT_EQ(mainwindow::ChooseLibraryPath(u"  "_s, QString(), u"/c"_s), u"/c"_s);

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

TEST_F(StartUpTest, ALibraryThatCannotBeOpenedEndsTheProgramWithoutAWindow) {
    QStringList reasons;
    ScriptedUi ui;
    const QString missing = library.file(u"no such library"_s);
    auto window = mainwindow::StartMainWindow(
        ui.services(), mainwindow::MakeLibraryOpener(
                           missing, [&](const QString& reason) { reasons.append(reason); }));
    EXPECT_FALSE(window);
    ASSERT_EQ(reasons.size(), 1);
    EXPECT_TRUE(reasons.first().contains(missing)) << reasons.first().toStdString();
    // The connection-failure message, nothing more.
    ASSERT_EQ(ui.messages.shown.size(), 1);
    for (QWidget* widget : QApplication::topLevelWidgets())
        EXPECT_FALSE(qobject_cast<mainwindow::FormMain*>(widget))
            << "a main window was left behind";
    // A failed opening is not remembered.
    EXPECT_TRUE(rememberedLibrary().isEmpty());
}

// The library opened, named by a relative path, and the Step 3 hint hidden
// are remembered for the next start, made from another folder. The hint
// shows at every click until its box is ticked; hidden, it comes back at
// every third click.
TEST_F(StartUpTest, TheLibraryAndAHiddenStepThreeHintAreRememberedForTheNextStart) {
    const auto clickStep3 = [](mainwindow::FormMain& window) {
        window.toolbarButton(mainwindow::keys::Step3)->click();
    };
    const QString album = library.path() + u"/Album"_s;
    {
        ASSERT_TRUE(QDir::setCurrent(library.path()));
        ScriptedUi ui;
        ui.messages.checkBoxAnswers = {false, true};
        auto window = mainwindow::StartMainWindow(
            ui.services(), mainwindow::MakeLibraryOpener(u"./Album/../Album"_s));
        ASSERT_TRUE(window);
        clickStep3(*window);
        clickStep3(*window);
        ASSERT_EQ(ui.messages.shown.size(), 2);
        EXPECT_TRUE(ui.messages.shown.first().withCheckBox);
    }
    ASSERT_TRUE(QDir::setCurrent(settings.path()));
    ASSERT_EQ(mainwindow::ChooseLibraryPath(QString()), album);
    ScriptedUi ui;
    auto window = mainwindow::StartMainWindow(
        ui.services(), mainwindow::MakeLibraryOpener(mainwindow::ChooseLibraryPath(QString())));
    ASSERT_TRUE(window);
    clickStep3(*window);
    clickStep3(*window);
    EXPECT_TRUE(ui.messages.shown.isEmpty());
    // The third click brings it back, and left unticked it stays.
    clickStep3(*window);
    EXPECT_EQ(ui.messages.shown.size(), 1);
    clickStep3(*window);
    EXPECT_EQ(ui.messages.shown.size(), 2);
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

// Help and version end at once with success; what it cannot understand
// fails with a complaint.
TEST(QuillmothCommandLine, HelpVersionAndCommandLinesItCannotUnderstand) {
    const struct {
        QStringList arguments;
        bool succeeds;
        QString said; // on standard output, or on standard error for a failure
    } cases[] = {
        {{u"--help"_s}, true, u"--library <path>"_s},
        {{u"--version"_s}, true, QStringLiteral(QUILLMOTH_VERSION)},
        {{u"/some/music"_s}, false, u"unexpected argument \"/some/music\""_s},
        {{u"--demo"_s, u"--library"_s, u"/some/music"_s}, false, u"cannot be used together"_s},
        {{u"--no-such-option"_s}, false, u"no-such-option"_s},
        {{u"--library"_s}, false, u"library"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        const RunResult run = runQuillmoth(c.arguments);
        EXPECT_EQ(run.exitCode == 0, c.succeeds) << run.exitCode;
        const QString& said = c.succeeds ? run.out : run.err;
        EXPECT_TRUE(said.contains(c.said)) << said.toStdString();
    }
}

} // namespace
