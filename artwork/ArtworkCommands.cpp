#include "artwork/ArtworkCommands.h"

#include "artwork/EmbedRuns.h"
#include "artwork/FormWizardEmbedArtwork.h"
#include "mainwindow/CommandKeys.h"
#include "mainwindow/FormMain.h"
#include "mainwindow/ModalRunner.h"
#include "mainwindow/UcProgress.h"

#include <QObject>

using namespace Qt::StringLiterals;

namespace artwork {

namespace {

// What the commands keep for as long as the window lives.
class CommandState : public QObject {
public:
    CommandState(mainwindow::FormMain& window, mainwindow::ModalRunner& runner)
        : QObject(&window), window(window), runner(runner),
          engine(window.ui().messages, &window.session().CancelRequested) {}

    catalogue::RunEnvironment environment() {
        return {*window.ProgressMain(), window.ui(), &window.runView()};
    }

    // Shows a wizard beside the window and returns its result.
    int32_t runWizard(WizardForm& wizard) {
        mainwindow::FormMain::PlaceDialog(&window, &wizard);
        runner.runModal(wizard);
        return wizard.Result();
    }

    void DoMenu_EmbedArtwork2() {
        FormWizardEmbedArtwork wizard([this] { return window.ListMainStatus(); },
                                      engine.sourceOrder(), &window);
        wizard.DeleteDownloaded = false;
        wizard.ExistingEmbed = ExistingKeep;
        wizard.Init();
        if (runWizard(wizard) != WizardForm::ResultGo)
            return;
        const EmbedParameters parameters{wizard.DeleteDownloaded, wizard.ExistingEmbed,
                                         wizard.TargetPixels};
        catalogue::RunEnvironment run = environment();
        ArtworkRunContext context{window.session(), run};
        DoEmbed2(context, engine, parameters);
    }

    void EmbedCheckedCommand() {
        catalogue::RunEnvironment run = environment();
        ArtworkRunContext context{window.session(), run};
        EmbedChecked(context, engine);
    }

    mainwindow::FormMain& window;
    mainwindow::ModalRunner& runner;
    EmbeddingEngine engine;
};

} // namespace

void InstallArtworkCommands(mainwindow::FormMain& window, mainwindow::ModalRunner* runner) {
    static mainwindow::ExecModalRunner execRunner;
    auto* state = new CommandState(window, runner ? *runner : execRunner);
    window.dispatch().setWizardOperation(mainwindow::keys::EmbedArtwork,
                                         [state] { state->DoMenu_EmbedArtwork2(); });
    window.commands().embedChecked = [state] { state->EmbedCheckedCommand(); };
}

} // namespace artwork
