#pragma once

// The main window's commands of the support services: File > "Options..."
// and the update check, from the Web menu and a few seconds after start.

#include <QString>

namespace support {
class ProcessStarter;
} // namespace support

namespace mainwindow {

class FormMain;
class ModalRunner;

struct SupportCommandsSetup {
    // Shows the Options dialog; QDialog::exec() when nullptr.
    ModalRunner* runner = nullptr;
    // Starts the updater; a detached QProcess when nullptr.
    support::ProcessStarter* starter = nullptr;
    // Where the updater is looked for; the program's own folder when empty.
    QString updaterFolder;
};

// Fills the window's command slots for these items. A given runner or
// starter must outlive the window.
void InstallSupportCommands(FormMain& window, const SupportCommandsSetup& setup = {});

} // namespace mainwindow
