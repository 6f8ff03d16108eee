// The main window's File > Options... and the update check, from the Web
// menu and from the start-up timer.

#include "mainwindow/SupportCommands.h"
#include "mainwindow/CommandKeys.h"
#include "mainwindow/FormMain.h"
#include "mainwindow/ModalRunner.h"
#include "support/FormOptions.h"
#include "support/Registry.h"
#include "support/RegistryKeys.h"
#include "support/UpdateSettings.h"
#include "tests/common/ScriptedUi.h"
#include "tests/common/TestFiles.h"
#include "tests/mainwindow/SeedLibraryWindowTest.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using mainwindow::FormMain;

namespace {

// Plays the user of the Options dialog: notes what it was shown, then types
// the days and presses OK or Cancel.
class OptionsUser : public mainwindow::ModalRunner {
public:
    QString days = u"9"_s;
    bool pressOk = true;

    int runs = 0;
    QWidget* parent = nullptr;
    bool checked = false;
    QString shownDays;

    void runModal(QDialog& dialog) override {
        ++runs;
        auto& options = dynamic_cast<support::FormOptions&>(dialog);
        parent = options.parentWidget();
        checked = options.CheckWiseUpdateEnabled()->isChecked();
        shownDays = options.EditWiseUpdateCheckDays()->text();
        options.EditWiseUpdateCheckDays()->setText(days);
        (pressOk ? options.ButOK() : options.ButCancel())->click();
    }
};

class SupportCommandsTest : public SeedLibraryWindowTest {
protected:
    void SetUp() override {
        startWindow({{u"seed.mp3"_s, u"Alpha/Album One/01 first.mp3"_s},
                     {u"seed.m4a"_s, u"Alpha/Album One/02 second.m4a"_s}});
        const mainwindow::WindowCommands& installed = window->commands();
        ASSERT_TRUE(installed.options && installed.checkForUpdates && installed.updateCheckDue)
            << "the window fills these slots itself";
        testing_support::writeFile(updater(), "#!/bin/sh\n");
        mainwindow::InstallSupportCommands(
            *window, {.runner = &user, .starter = &starter, .updaterFolder = program.path()});
    }
    QString updater() const { return program.file(u"WiseUpdt.exe"_s); }
    static QString stored(const QString& value) {
        return support::RegGetString(support::Hive::CurrentUser, support::KEY_WISER_UPDATE, value);
    }
    // Lets the start-up timer tick now rather than three seconds on.
    void tickUpdateTimer() {
        QTimer* timer = window->TimerWiseUpdate();
        timer->start(0);
        QTest::qWait(20);
    }

    testing_support::TempFolder program;
    OptionsUser user;
    testing_support::ScriptedProcessStarter starter;
};

TEST_F(SupportCommandsTest, OptionsShowsTheSettingsOverTheWindowAndSavesOnlyOnOk) {
    user.pressOk = false;
    window->menuItem(u"ItemFileOptions"_s)->trigger();
    EXPECT_EQ(user.shownDays, u"14"_s);
    EXPECT_EQ(stored(support::VALUE_UPDATE_CHECK_DAYS), QString());
    EXPECT_EQ(stored(support::VALUE_UPDATE_ENABLED), QString());

    user.pressOk = true;
    support::SetUpdateCheckDays(30);
    window->menuItem(u"ItemFileOptions"_s)->trigger();
    ASSERT_EQ(user.runs, 2);
    EXPECT_EQ(user.parent, window.get());
    EXPECT_TRUE(user.checked);
    EXPECT_EQ(user.shownDays, u"30"_s);
    EXPECT_EQ(stored(support::VALUE_UPDATE_CHECK_DAYS), u"9"_s);
    EXPECT_EQ(stored(support::VALUE_UPDATE_ENABLED), u"True"_s);
    EXPECT_TRUE(ui.messages.shown.isEmpty());
}

// Each start is stored, on the 24-hour clock with single digits padded.
TEST_F(SupportCommandsTest, StartUpTimerStartsTheUpdaterWhenDueAndRecordsTheStart) {
    ui.clock.current = QDateTime(QDate(2026, 3, 7), QTime(15, 5, 4));
    tickUpdateTimer();
    EXPECT_EQ(starter.started, QStringList{updater()});
    EXPECT_FALSE(window->TimerWiseUpdate()->isActive());
    ASSERT_EQ(ui.messages.shown.size(), 1);
    EXPECT_TRUE(ui.messages.shown[0].withCheckBox) << "the question before the start";
    EXPECT_EQ(stored(support::VALUE_LAST_UPDATE_RUN), u"2026/03/07 15:05:04"_s);
    // Started once: the next start of the program is not due for 14 days.
    tickUpdateTimer();
    EXPECT_EQ(starter.started.size(), 1);
}

TEST_F(SupportCommandsTest, StartUpTimerDoesNothingWhileTheCheckIsOffButTheMenuStillRuns) {
    support::SetUpdateCheckEnabled(false);
    tickUpdateTimer();
    EXPECT_TRUE(starter.started.isEmpty());
    EXPECT_TRUE(ui.messages.shown.isEmpty());
    EXPECT_FALSE(window->TimerWiseUpdate()->isActive());

    // Just started, so not due either; the menu ignores both.
    support::SaveLastUpdateRun(ui.clock.current.addSecs(-60));
    window->menuItem(u"ItemWebCheckForUpdates"_s)->trigger();
    EXPECT_EQ(starter.started, QStringList{updater()});
    EXPECT_EQ(stored(support::VALUE_LAST_UPDATE_RUN), u"2026/01/01 12:00:00"_s);
}

TEST_F(SupportCommandsTest, MissingUpdaterIsReportedFromTheMenuOnly) {
    ASSERT_TRUE(QFile::remove(updater()));
    tickUpdateTimer();
    EXPECT_TRUE(ui.messages.shown.isEmpty());
    window->menuItem(u"ItemWebCheckForUpdates"_s)->trigger();
    ASSERT_EQ(ui.messages.shown.size(), 1);
    EXPECT_TRUE(ui.messages.shown[0].text.contains(u'(' + updater() + u')'));
    EXPECT_TRUE(starter.started.isEmpty());
    EXPECT_EQ(stored(support::VALUE_LAST_UPDATE_RUN), QString());
}

TEST_F(SupportCommandsTest, TheCheckWaitsForTheEndOfAScan) {
    int startsDuringScan = -1;
    ui.events.onProcess = [&](int call) {
        if (call != 1)
            return;
        tickUpdateTimer();
        window->menuItem(u"ItemWebCheckForUpdates"_s)->trigger();
        startsDuringScan = static_cast<int>(starter.started.size());
    };
    window->toolbarButton(mainwindow::keys::Step1)->click();
    EXPECT_EQ(startsDuringScan, 0);
    EXPECT_TRUE(window->TimerWiseUpdate()->isActive()) << "tries again later";
    QTest::qWait(20);
    EXPECT_EQ(starter.started.size(), 1);
}

} // namespace
