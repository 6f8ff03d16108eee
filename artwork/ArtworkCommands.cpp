#include "artwork/ArtworkCommands.h"

#include "artwork/DeleteRun.h"
#include "artwork/DownloadRuns.h"
#include "artwork/EmbedRuns.h"
#include "artwork/FormWizardCreateFolderJpg.h"
#include "artwork/FormWizardDeleteArtwork.h"
#include "artwork/FormWizardDownloads.h"
#include "artwork/FormWizardEmbedArtwork.h"
#include "artwork/GetArtworkRun.h"
#include "artwork/ThumbnailRun.h"
#include "artwork/WindowDrops.h"
#include "artworkdownload/MusicBrainzCovers.h"
#include "catalogue/CatalogueSession.h"
#include "mainwindow/CommandKeys.h"
#include "mainwindow/FormMain.h"
#include "mainwindow/ModalRunner.h"
#include "mainwindow/UcProgress.h"
#include "support/AppData.h"
#include "support/SystemInfo.h"

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

    void criticalMessage(const QString& text) {
        if (window.ui().messages)
            window.ui().messages->show(text, QString(), support::MbOk, support::MbCritical);
    }

    void DoMenu_DeleteArtwork2() {
        const catalogue::SongList& list = window.session().ListMain(window.CurTab());
        int checked = 0;
        for (int row = 0; row < list.rowCount(); ++row)
            checked += list.model().isChecked(row) ? 1 : 0;
        FormWizardDeleteArtwork wizard(
            [this] { return window.ListMainStatus(); }, [this] { return window.CurTab(); },
            [this](const QString& text) { criticalMessage(text); }, &window);
        wizard.SelCount = checked;
        wizard.Choices = DeleteParameters{};
        wizard.Init();
        const int32_t result = runWizard(wizard);
        const DeleteParameters choices =
            result == WizardForm::ResultGo ? wizard.Choices : DeleteParameters{};
        if (result == WizardForm::ResultCancel)
            return;
        catalogue::RunEnvironment run = environment();
        ArtworkRunContext context{window.session(), run};
        DoDelete2(context, choices);
    }

    void DoMenu_CreateFolderJpg2() {
        FormWizardCreateFolderJpg wizard([this] { return window.ListMainStatus(); },
                                         [this](const QString& text) { criticalMessage(text); },
                                         &window);
        wizard.BaseExt = u"Folder.JPG"_s;
        wizard.HiddenSystem = true;
        wizard.DeleteExisting = false;
        wizard.ThumbnailMultipleImages = ThumbnailClosest;
        wizard.TargetPixels = support::IsVistaOrLater() ? 256 : 82;
        wizard.Init();
        const int32_t result = runWizard(wizard);
        ThumbnailParameters parameters{{}, false, false, 0, 0};
        if (result == WizardForm::ResultGo)
            parameters = {wizard.BaseExt, wizard.HiddenSystem, wizard.DeleteExisting,
                          wizard.ThumbnailMultipleImages, wizard.TargetPixels};
        if (result == WizardForm::ResultCancel)
            return;
        catalogue::RunEnvironment run = environment();
        ArtworkRunContext context{window.session(), run};
        CreateFolderThumbnails(context, parameters);
    }

    void DoMenu_CreatePlaylist2() {
        FormWizardCreatePlaylist wizard([this] { return window.ListMainStatus(); }, &window);
        wizard.Init();
        if (runWizard(wizard) == WizardForm::ResultCancel)
            return;
        catalogue::RunEnvironment run = environment();
        ArtworkRunContext context{window.session(), run};
        AddCheckedToDownloadPlaylist(context);
    }

    void DoMenu_DownloadArtwork() {
        if (window.ui().messages)
            window.ui().messages->show(DownloadInstructionsText(), QString(), support::MbOk,
                                       support::MbInformation);
    }

    void DoMenu_EmbedDownloadedArtwork2() {
        FormWizardEmbedDownloadedArtwork wizard([this] { return window.ListMainStatus(); },
                                                &window);
        wizard.Init();
        if (runWizard(wizard) != WizardForm::ResultGo)
            return;
        catalogue::RunEnvironment run = environment();
        ArtworkRunContext context{window.session(), run};
        DoEmbedDownloaded2(context);
    }

    void DoMenu_GetAlbumArtwork2() {
        artworkdownload::DownloadSettings settings = artworkdownload::ReadDownloadSettings();
        FormWizardGetAlbumArtwork wizard([this] { return window.ListMainStatus(); }, settings.size,
                                         &window);
        wizard.Init();
        if (runWizard(wizard) != WizardForm::ResultGo)
            return;
        settings.size = wizard.Size();
        artworkdownload::SaveCoverSize(settings.size);
        support::MessageBoxes* messages = window.ui().messages;
        catalogue::CatalogueSession& session = window.session();
        QString failure;
        const QList<SongToFetch> songs =
            session.Library ? PlaylistSongs(*session.Library, DownloadPlaylistName(), failure)
                            : QList<SongToFetch>();
        if (!failure.isEmpty()) {
            if (messages)
                messages->show(NoDownloadPlaylistText(failure), QString(), support::MbOk,
                               support::MbInformation);
            return;
        }
        const QString dataFolder = support::AppDataFolder();
        artworkdownload::EventLoopClock clock;
        artworkdownload::LookupCache cache(artworkdownload::CacheFileIn(dataFolder), clock);
        artworkdownload::MusicBrainzCovers source(settings, clock, &cache);
        catalogue::RunEnvironment run = environment();
        GetArtworkEnvironment getEnvironment{run, session.CancelRequested, dataFolder};
        const GetArtworkCounts counts = GetAlbumArtwork(songs, source, getEnvironment);
        if (messages)
            messages->show(GetArtworkDoneText(counts), QString(), support::MbOk,
                           support::MbInformation);
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
    mainwindow::ModalRunner& modal = runner ? *runner : execRunner;
    auto* state = new CommandState(window, modal);
    InstallWindowDrops(window, modal);
    window.dispatch().setWizardOperation(mainwindow::keys::EmbedArtwork,
                                         [state] { state->DoMenu_EmbedArtwork2(); });
    window.dispatch().setWizardOperation(mainwindow::keys::DeleteArtwork,
                                         [state] { state->DoMenu_DeleteArtwork2(); });
    window.dispatch().setWizardOperation(mainwindow::keys::CreateFolderJpg,
                                         [state] { state->DoMenu_CreateFolderJpg2(); });
    window.dispatch().setWizardOperation(mainwindow::keys::CreatePlaylist,
                                         [state] { state->DoMenu_CreatePlaylist2(); });
    window.dispatch().setWizardOperation(mainwindow::keys::DownloadArtwork,
                                         [state] { state->DoMenu_DownloadArtwork(); });
    window.dispatch().setWizardOperation(mainwindow::keys::EmbedDownloadedArtwork,
                                         [state] { state->DoMenu_EmbedDownloadedArtwork2(); });
    window.dispatch().setWizardOperation(mainwindow::keys::GetAlbumArtwork,
                                         [state] { state->DoMenu_GetAlbumArtwork2(); });
    window.commands().embedChecked = [state] { state->EmbedCheckedCommand(); };
}

} // namespace artwork
