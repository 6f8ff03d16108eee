#pragma once

// The Step 2 review commands of the main window's Edit and View menus:
// check marks per album and for all songs, album moves, the view filter.

namespace mainwindow {

class FormMain;
class ModalRunner;

// Fills the window's command slots for these menu items. Modal dialogs are
// shown through runner, or with QDialog::exec() when it is nullptr; a given
// runner must outlive the window.
void InstallReviewCommands(FormMain& window, ModalRunner* runner = nullptr);

} // namespace mainwindow
