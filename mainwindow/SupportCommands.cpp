#include "mainwindow/SupportCommands.h"

#include "mainwindow/FormMain.h"
#include "mainwindow/ModalRunner.h"
#include "support/FormOptions.h"
#include "support/ProcessStarter.h"
#include "support/UpdateSettings.h"
#include "support/WiseUpdate.h"

namespace mainwindow {

void InstallSupportCommands(FormMain& window, const SupportCommandsSetup& setup) {
    static ExecModalRunner execRunner;
    static support::DetachedProcessStarter detachedStarter;
    ModalRunner* modal = setup.runner ? setup.runner : &execRunner;
    support::ProcessStarter* starter = setup.starter ? setup.starter : &detachedStarter;

    const auto runWiseUpdate = [&window, starter, folder = setup.updaterFolder](bool showErrors,
                                                                                bool force) {
        const support::UiServices& ui = window.ui();
        support::RunWiseUpdate({*ui.messages, *ui.clock, *starter, folder}, showErrors, force);
    };

    WindowCommands& commands = window.commands();
    commands.options = [&window, modal] {
        support::FormOptions options(*window.ui().messages, &window);
        FormMain::PlaceDialog(&window, &options);
        options.Init();
        modal->runModal(options);
    };
    commands.checkForUpdates = [runWiseUpdate] { runWiseUpdate(true, true); };
    commands.updateCheckDue = [runWiseUpdate] {
        if (support::GetUpdateCheckEnabled())
            runWiseUpdate(false, false);
    };
}

} // namespace mainwindow
