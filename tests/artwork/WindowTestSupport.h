#pragma once

// The main window with the artwork commands installed, as the window tests
// drive it: wizards are played by the test instead of shown modally, and a
// wizard is chosen as the drop-down does, started by the timer's tick.

#include "artwork/ArtworkCommands.h"
#include "catalogue/CatalogueSession.h"
#include "mainwindow/CommandKeys.h"
#include "mainwindow/FormMain.h"
#include "mainwindow/ModalRunner.h"
#include "mainwindow/StartUp.h"
#include "tests/common/ScriptedUi.h"

#include <QDialog>
#include <QTimer>
#include <QToolButton>

#include <functional>
#include <memory>

namespace testing_support {

class PlayWizard : public mainwindow::ModalRunner {
public:
    std::function<void(QDialog&)> play;
    void runModal(QDialog& dialog) override { play(dialog); }
};

// The window on the library that open gives, with Step 1 done and its
// messages forgotten; null when it did not start.
inline std::unique_ptr<mainwindow::FormMain> StartScannedWindow(ScriptedUi& ui, PlayWizard& runner,
                                                                catalogue::LibraryOpener open) {
    std::unique_ptr<mainwindow::FormMain> window =
        mainwindow::StartMainWindow(ui.services(), std::move(open));
    if (!window)
        return window;
    artwork::InstallArtworkCommands(*window, &runner);
    window->toolbarButton(mainwindow::keys::Step1)->click();
    ui.messages.shown.clear();
    return window;
}

inline void ChooseWizard(mainwindow::FormMain& window, const QString& key) {
    window.dispatch().wizardChosen(key);
    window.TimerButtonMenu()->stop();
    window.dispatch().wizardTimerTick();
}

} // namespace testing_support
