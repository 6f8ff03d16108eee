#include "mainwindow/FilterCommand.h"

#include "catalogue/CatalogueSession.h"
#include "catalogue/LibraryScan.h"
#include "mainwindow/FormFilter.h"
#include "mainwindow/ModalRunner.h"

namespace mainwindow {

bool DoMenu_FilterView(catalogue::CatalogueSession& session,
                       const FilterCommandEnvironment& environment) {
    FormFilter dialog(environment.owner);
    if (environment.placeDialog)
        environment.placeDialog(&dialog);
    dialog.setArtTypes(session.ViewFilter);
    environment.runner.runModal(dialog);
    if (dialog.DialogResult() != FormFilter::ResultOk)
        return false;
    session.ViewFilter = dialog.ArtTypes();
    catalogue::RefreshEligibleList(session, environment.hooks);
    return true;
}

} // namespace mainwindow
