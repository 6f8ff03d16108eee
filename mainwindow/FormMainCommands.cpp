// Toolbar and Step menu commands, the deferred wizard start and the start-up
// update timer.

#include "mainwindow/FormMain.h"

#include "catalogue/LibraryScan.h"
#include "mainwindow/CommandKeys.h"
#include "mainwindow/StepMessages.h"
#include "mainwindow/UcProgress.h"
#include "support/ScreenPointer.h"

#include <QAction>
#include <QMenu>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>

using namespace Qt::StringLiterals;

namespace mainwindow {

namespace {
constexpr int WizardStartDelayMs = 50;
constexpr int UpdateCheckDelayMs = 3000;
} // namespace

void FormMain::buildDispatch() {
    CommandActions actions;
    actions.scanLibrary = [this] { runScan(); };
    actions.embedChecked = [this] {
        if (m_commands.embedChecked)
            m_commands.embedChecked();
    };
    actions.showStep2Help = [this] { ShowStep2Help(*m_ui.messages); };
    actions.showStep3Hint = [this](int& count) { ShowStep3Hint(*m_ui.messages, count); };
    actions.armWizardTimer = [this] { m_timerButtonMenu->start(); };
    m_dispatch = std::make_unique<CommandDispatch>(*m_ui.beeper, std::move(actions));
    connect(m_dispatch.get(), &CommandDispatch::runEnded, this, &FormMain::applyPendingTabCaptions);

    for (const auto& [key, button] : m_toolbarButtons) {
        // The body of the Step 3 button explains the drop-down; its arrow
        // opens the menu and never reaches here.
        connect(button, &QToolButton::clicked, this,
                [this, key] { m_dispatch->toolbarButtonClicked(key); });
    }
    connect(m_step3Menu, &QMenu::triggered, this,
            [this](QAction* entry) { m_dispatch->wizardChosen(entry->data().toString()); });

    connect(m_progress, &UcProgress::CancelClicked, this,
            [this] { m_session.CancelRequested = true; });
}

void FormMain::buildTimers() {
    m_timerButtonMenu = new QTimer(this);
    m_timerButtonMenu->setObjectName(u"TimerButtonMenu"_s);
    m_timerButtonMenu->setSingleShot(true);
    m_timerButtonMenu->setInterval(WizardStartDelayMs);
    connect(m_timerButtonMenu, &QTimer::timeout, this, [this] { m_dispatch->wizardTimerTick(); });

    m_timerWiseUpdate = new QTimer(this);
    m_timerWiseUpdate->setObjectName(u"TimerWiseUpdate"_s);
    m_timerWiseUpdate->setSingleShot(true);
    m_timerWiseUpdate->setInterval(UpdateCheckDelayMs);
    connect(m_timerWiseUpdate, &QTimer::timeout, this, &FormMain::wiseUpdateTick);
}

void FormMain::wiseUpdateTick() {
    // The check must not start in the middle of a run; it waits for a tick
    // that finds the program idle.
    if (busy() != BusyIdle) {
        m_timerWiseUpdate->start();
        return;
    }
    if (m_commands.updateCheckDue)
        m_commands.updateCheckDue();
}

bool FormMain::refuseWhileBusy() {
    return m_dispatch->refuseWhenBusy();
}

void FormMain::runScan() {
    catalogue::ScanEnvironment environment{.progress = *m_progress, .ui = m_ui, .hooks = this};
    catalogue::ScanLibrary(m_session, environment);
}

void FormMain::enableSelectionSteps() {
    m_toolbarButtons.at(keys::Step2)->setEnabled(true);
    m_toolbarButtons.at(keys::Step3x)->setEnabled(true);
    m_items.at(u"ItemStep3"_s)->setEnabled(true);
}

void FormMain::showCurrentSelection() {
    const int tab = CurTab();
    ShowSelectedRowDetails(tab, false);
    ListMain(tab)->setFocus(Qt::OtherFocusReason);
}

void FormMain::pushBusyPointer() {
    support::PushPointer(support::POINTER_HOURGLASS);
}

void FormMain::popBusyPointer() {
    support::PopPointer();
}

} // namespace mainwindow
