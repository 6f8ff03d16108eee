#pragma once

// The main window's Step 3 commands: each wizard opened from the deferred
// wizard start, its run over the checked rows, and Step 3x.

namespace mainwindow {
class FormMain;
class ModalRunner;
} // namespace mainwindow

namespace artwork {

// Fills the window's wizard operations and its Step 3x command. Modal
// dialogs are shown through runner, or with QDialog::exec() when it is
// nullptr; a given runner must outlive the window. The commands' state
// (the source order the wizard keeps, measurements) lives with the window.
void InstallArtworkCommands(mainwindow::FormMain& window,
                            mainwindow::ModalRunner* runner = nullptr);

} // namespace artwork
