#include "mainwindow/CommandDispatch.h"
#include "mainwindow/CommandKeys.h"
#include "tests/common/ScriptedUi.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using mainwindow::CommandActions;
using mainwindow::CommandDispatch;
namespace keys = mainwindow::keys;

namespace {

// A dispatcher whose actions only record what they were asked to do.
class DispatchTest : public ::testing::Test {
protected:
    DispatchTest() { restart(); }

    // A new dispatcher and an empty log.
    void restart() {
        log.clear();
        CommandActions actions;
        actions.scanLibrary = [this] {
            log.append(u"scan busy=%1"_s.arg(dispatch->busy()));
            if (duringScan)
                duringScan();
        };
        actions.embedChecked = [this] { log.append(u"embed busy=%1"_s.arg(dispatch->busy())); };
        actions.showStep2Help = [this] { log.append(u"step2"_s); };
        actions.showStep3Hint = [this](int& count) { log.append(u"hint count=%1"_s.arg(count)); };
        actions.armWizardTimer = [this] { log.append(u"arm"_s); };
        dispatch = std::make_unique<CommandDispatch>(ui.beeper, std::move(actions));
        for (const QString& key : dispatch->wizardKeys())
            dispatch->setWizardOperation(key, [this, key] { log.append(u"wizard "_s + key); });
    }

    testing_support::ScriptedUi ui;
    std::unique_ptr<CommandDispatch> dispatch;
    std::function<void()> duringScan;
    QStringList log;
};

TEST_F(DispatchTest, ToolbarKeysRunTheirCommandsWithTheBusyFlagOfTheRun) {
    dispatch->toolbarButtonClicked(keys::Step1);
    dispatch->toolbarButtonClicked(keys::Step2);
    dispatch->toolbarButtonClicked(keys::Step3x);
    dispatch->toolbarButtonClicked(keys::Step3);
    dispatch->toolbarButtonClicked(u"NoSuchButton"_s);
    EXPECT_EQ(log,
              QStringList({u"scan busy=1"_s, u"step2"_s, u"embed busy=2"_s, u"hint count=0"_s}));
    EXPECT_EQ(dispatch->busy(), mainwindow::BusyIdle);
    EXPECT_EQ(ui.beeper.beeps, 0);
}

// During a scan the steps and the Step menu only beep and a wizard's tick
// waits, but a choice from the drop-down is still recorded.
TEST_F(DispatchTest, CommandsDuringAScanOnlyBeep) {
    QSignalSpy refused(dispatch.get(), &CommandDispatch::refusedWhileBusy);
    QSignalSpy starting(dispatch.get(), &CommandDispatch::wizardStarting);
    duringScan = [this] {
        dispatch->toolbarButtonClicked(keys::Step1);
        dispatch->toolbarButtonClicked(keys::Step2);
        dispatch->stepMenuClicked(keys::Step1);
        dispatch->stepMenuClicked(keys::EmbedArtwork);
        dispatch->wizardChosen(keys::DeleteArtwork);
        dispatch->wizardTimerTick();
        EXPECT_EQ(dispatch->busy(), mainwindow::BusyScanning);
    };
    dispatch->toolbarButtonClicked(keys::Step1);
    EXPECT_EQ(log, QStringList({u"scan busy=1"_s, u"arm"_s}));
    EXPECT_EQ(ui.beeper.beeps, 5);
    EXPECT_EQ(refused.count(), 5);
    EXPECT_EQ(starting.count(), 0);
    EXPECT_EQ(dispatch->pendingWizardKey(), keys::DeleteArtwork);
    EXPECT_EQ(dispatch->busy(), mainwindow::BusyIdle);
}

TEST_F(DispatchTest, AWizardRunsBusySoThatStepsAndOtherWizardsWait) {
    dispatch->setWizardOperation(keys::EmbedArtwork, [this] {
        log.append(u"embed wizard busy=%1"_s.arg(dispatch->busy()));
        // What a user can reach while the run lets window events through.
        dispatch->toolbarButtonClicked(keys::Step1);
        dispatch->stepMenuClicked(keys::DeleteArtwork);
        dispatch->wizardChosen(keys::DeleteArtwork);
        dispatch->wizardTimerTick();
    });
    dispatch->wizardChosen(keys::EmbedArtwork);
    dispatch->wizardTimerTick();
    EXPECT_EQ(log, QStringList({u"arm"_s, u"embed wizard busy=3"_s, u"arm"_s}));
    EXPECT_EQ(ui.beeper.beeps, 3);
    EXPECT_EQ(dispatch->busy(), mainwindow::BusyIdle);
    // Once the run is over the step works again.
    dispatch->toolbarButtonClicked(keys::Step1);
    EXPECT_EQ(log.last(), u"scan busy=1"_s);
}

TEST_F(DispatchTest, BusyFlagFallsBackWhenAWizardOrTheScanThrows) {
    dispatch->setWizardOperation(keys::CreatePlaylist,
                                 [] { throw std::runtime_error("wizard failed"); });
    dispatch->wizardChosen(keys::CreatePlaylist);
    EXPECT_THROW(dispatch->wizardTimerTick(), std::runtime_error);
    EXPECT_EQ(dispatch->busy(), mainwindow::BusyIdle);
    duringScan = [] { throw std::runtime_error("scan failed"); };
    EXPECT_THROW(dispatch->toolbarButtonClicked(keys::Step1), std::runtime_error);
    EXPECT_EQ(dispatch->busy(), mainwindow::BusyIdle);
}

TEST_F(DispatchTest, EachStepMenuEntryLeadsWhereItShould) {
    const struct {
        QString key;
        QStringList expectedLog;
        QString expectedPendingKey;
    } cases[] = {
        {keys::Step1, {u"scan busy=1"_s}, {}},
        {keys::Step2, {u"step2"_s}, {}},
        {keys::DeleteArtwork, {u"arm"_s}, keys::DeleteArtwork},
        {keys::EmbedArtwork, {u"arm"_s}, keys::EmbedArtwork},
        {keys::Step3x, {}, {}},
        {keys::ExtractArtwork, {}, {}},
        {QString(), {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key.toStdString());
        restart();
        dispatch->stepMenuClicked(c.key);
        EXPECT_EQ(log, c.expectedLog);
        EXPECT_EQ(dispatch->pendingWizardKey(), c.expectedPendingKey);
    }
}

TEST_F(DispatchTest, KeysOutsideTheTableStartNothing) {
    QSignalSpy starting(dispatch.get(), &CommandDispatch::wizardStarting);
    for (const QString& key : {keys::ExtractArtwork, keys::Step3Sep1, u"embedartwork"_s}) {
        dispatch->wizardChosen(key);
        dispatch->wizardTimerTick();
    }
    EXPECT_EQ(starting.count(), 0);
    EXPECT_FALSE(dispatch->setWizardOperation(keys::ExtractArtwork, [] {}));
}

} // namespace
