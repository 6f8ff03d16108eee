#pragma once

// The main window with the artwork commands installed, as the window tests
// drive it: wizards are played by the test instead of shown modally.

#include "artwork/ArtworkCommands.h"
#include "catalogue/CatalogueSession.h"
#include "mainwindow/CommandKeys.h"
#include "mainwindow/FormMain.h"
#include "mainwindow/ModalRunner.h"
#include "mainwindow/StartUp.h"
#include "musiclibrary/AudioFileIO.h"
#include "musiclibrary/DemoLibrary.h"
#include "musiclibrary/Library.h"
#include "support/Registry.h"
#include "tests/artwork/CliTestSupport.h"
#include "tests/common/ScriptedUi.h"
#include "tests/common/TestFiles.h"

#include <QCryptographicHash>
#include <QDialog>
#include <QDirIterator>
#include <QMap>
#include <QSet>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>

namespace testing_support {

using namespace Qt::StringLiterals;

class PlayWizard : public mainwindow::ModalRunner {
public:
    std::function<void(QDialog&)> play;
    void runModal(QDialog& dialog) override { play(dialog); }
};

// What every file below folder holds: the bytes of each song's pictures, and
// each other file's bytes, by relative path (hidden files too).
inline QMap<QString, QByteArray> ContentsBelow(const QString& folder) {
    QMap<QString, QByteArray> result;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString relative = path.mid(folder.size());
        if (relative.endsWith(u".xml"))
            continue;
        QByteArray content;
        try {
            for (const musiclibrary::Picture& picture : musiclibrary::readPictures(path))
                content += QCryptographicHash::hash(picture.data, QCryptographicHash::Sha1);
        } catch (const musiclibrary::LibraryError&) {
            content = QCryptographicHash::hash(readFile(path), QCryptographicHash::Sha1);
        }
        result.insert(relative, content);
    }
    return result;
}

// The files that differ between two ContentsBelow of one folder, sorted.
inline QStringList ChangedFiles(const QMap<QString, QByteArray>& before,
                                const QMap<QString, QByteArray>& after) {
    QStringList changed;
    for (const QString& path : QSet<QString>(before.keyBegin(), before.keyEnd()) +
                                   QSet<QString>(after.keyBegin(), after.keyEnd()))
        if (!before.contains(path) || !after.contains(path) || before[path] != after[path])
            changed.append(path);
    changed.sort();
    return changed;
}

// The main window with the artwork commands installed, on settings of the
// test's own; Base gives what the library is made of.
template <class Base = ::testing::Test> class WindowTest : public Base {
protected:
    void SetUp() override {
        support::SetRegistryFiles(
            {settings.file(u"user.json"_s), settings.file(u"machine.json"_s)});
    }
    void TearDown() override {
        window.reset();
        support::ResetRegistryFiles();
    }
    // Starts the window on the library that open gives, with Step 1 done and
    // its messages forgotten.
    void start(catalogue::LibraryOpener open) {
        window = mainwindow::StartMainWindow(ui.services(), std::move(open));
        ASSERT_TRUE(window);
        artwork::InstallArtworkCommands(*window, &runner);
        window->toolbarButton(mainwindow::keys::Step1)->click();
        ui.messages.shown.clear();
    }
    // Chooses a wizard as the drop-down does; the timer's tick starts it.
    void choose(const QString& key) {
        window->dispatch().wizardChosen(key);
        window->TimerButtonMenu()->stop();
        window->dispatch().wizardTimerTick();
    }

    TempFolder settings;
    ScriptedUi ui;
    PlayWizard runner;
    std::unique_ptr<mainwindow::FormMain> window;
};

// The window over the demonstration library, scanned, and a second copy of
// that library for quillmoth-cli to run the same command on.
class DemoWindowTest : public WindowTest<> {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        libraryFile = musiclibrary::buildDemoLibrary(demo.path(), {data.path()});
        otherLibrary = musiclibrary::buildDemoLibrary(otherDemo.path(), {otherData.path()});
        start([this] { return musiclibrary::openLibrary(libraryFile, {data.path()}); });
    }
    // The standard output of quillmoth-cli on the second copy.
    QString cli(const QStringList& arguments) {
        const CliResult result =
            runCli(QStringList{u"--library"_s, otherLibrary, u"--data-folder"_s, otherData.path()} +
                   arguments);
        EXPECT_EQ(result.exitCode, 0) << result.errors.toStdString();
        return result.lines.join(u'\n');
    }
    // Plays each wizard chosen in the window, then runs the same command of
    // quillmoth-cli on the second copy: each ends with the same words, and
    // both copies with the same changed files.
    void expectTwinsAgree(const QList<std::pair<QString, QStringList>>& runs) {
        const auto before = ContentsBelow(demo.path());
        for (const auto& [key, arguments] : runs) {
            SCOPED_TRACE(key.toStdString());
            const qsizetype shown = ui.messages.shown.size();
            choose(key);
            ASSERT_GT(ui.messages.shown.size(), shown) << "no closing message";
            const QString out = cli(arguments);
            EXPECT_TRUE(out.endsWith(ui.messages.shown.last().text + u'\n')) << out.toStdString();
        }
        EXPECT_FALSE(ChangedFiles(before, ContentsBelow(demo.path())).isEmpty());
        EXPECT_EQ(ChangedFiles(ContentsBelow(otherDemo.path()), ContentsBelow(demo.path())),
                  QStringList());
        EXPECT_EQ(QDir(otherData.path() + u"/downloaded"_s).entryList(QDir::Files),
                  QDir(data.path() + u"/downloaded"_s).entryList(QDir::Files));
    }

    TempFolder demo, data, otherDemo, otherData;
    QString libraryFile, otherLibrary;
};

} // namespace testing_support

// Texts in failure messages as they read.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
