#include "mainwindow/CommandDispatch.h"

#include "mainwindow/CommandKeys.h"
#include "support/UiServices.h"

#include <QStringList>

namespace mainwindow {

namespace {

void runIfSet(const std::function<void()>& action) {
    if (action)
        action();
}

} // namespace

CommandDispatch::CommandDispatch(support::Beeper& beeper, CommandActions actions, QObject* parent)
    : QObject(parent), m_beeper(beeper), m_actions(std::move(actions)) {
    // The tick compares in this order and runs the first exact match.
    for (const QString& key :
         {keys::CreateFolderJpg, keys::CreatePlaylist, keys::DeleteArtwork, keys::DownloadArtwork,
          keys::EmbedArtwork, keys::EmbedDownloadedArtwork, keys::GetAlbumArtwork})
        m_wizards.emplace_back(key, WizardOperation{});
}

bool CommandDispatch::setWizardOperation(const QString& key, WizardOperation operation) {
    for (auto& [wizardKey, wizardOperation] : m_wizards) {
        if (wizardKey == key) {
            wizardOperation = std::move(operation);
            return true;
        }
    }
    return false;
}

QStringList CommandDispatch::wizardKeys() const {
    QStringList result;
    for (const auto& entry : m_wizards)
        result.append(entry.first);
    return result;
}

bool CommandDispatch::refuseWhenBusy() {
    if (m_busy == BusyIdle)
        return false;
    m_beeper.beep();
    Q_EMIT refusedWhileBusy();
    return true;
}

void CommandDispatch::runBusy(BusyState state, const std::function<void()>& work) {
    // The flag must fall back to idle even when the work throws, or the window
    // could never be closed again.
    struct Reset {
        CommandDispatch& dispatch;
        ~Reset() {
            dispatch.m_busy = BusyIdle;
            Q_EMIT dispatch.runEnded();
        }
    } reset{*this};
    m_busy = state;
    runIfSet(work);
}

void CommandDispatch::toolbarButtonClicked(const QString& key) {
    if (refuseWhenBusy())
        return;
    if (key == keys::Step1) {
        runBusy(BusyScanning, m_actions.scanLibrary);
    } else if (key == keys::Step2) {
        runIfSet(m_actions.showStep2Help);
    } else if (key == keys::Step3x) {
        runBusy(BusyEmbeddingChecked, m_actions.embedChecked);
    } else if (key == keys::Step3) {
        if (m_actions.showStep3Hint)
            m_actions.showStep3Hint(m_step3ClickCount);
    }
    m_busy = BusyIdle;
}

void CommandDispatch::stepMenuClicked(const QString& key) {
    if (refuseWhenBusy())
        return;
    if (key == keys::Step1) {
        runBusy(BusyScanning, m_actions.scanLibrary);
    } else if (key == keys::Step2) {
        runIfSet(m_actions.showStep2Help);
    } else if (wizardKeys().contains(key)) {
        recordWizardChoice(key);
    }
    m_busy = BusyIdle;
}

void CommandDispatch::wizardChosen(const QString& key) {
    recordWizardChoice(key);
}

void CommandDispatch::recordWizardChoice(const QString& key) {
    m_pendingWizardKey = key;
    m_step3ClickCount = 0;
    runIfSet(m_actions.armWizardTimer);
}

void CommandDispatch::wizardTimerTick() {
    for (const auto& [key, operation] : m_wizards) {
        if (key == m_pendingWizardKey) {
            if (refuseWhenBusy())
                return;
            Q_EMIT wizardStarting(key);
            runBusy(BusyWizard, operation);
            return;
        }
    }
}

} // namespace mainwindow
