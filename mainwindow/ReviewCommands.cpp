#include "mainwindow/ReviewCommands.h"

#include "mainwindow/FilterCommand.h"
#include "mainwindow/FormMain.h"
#include "mainwindow/ModalRunner.h"
#include "mainwindow/Selection.h"
#include "mainwindow/UcProgress.h"
#include "support/ScreenPointer.h"

#include <QTreeView>

namespace mainwindow {

namespace {

// The busy pointer around the refill of the Eligible list.
class BusyPointerHooks : public catalogue::ScanHooks {
public:
    void pushBusyPointer() override { support::PushPointer(support::POINTER_HOURGLASS); }
    void popBusyPointer() override { support::PopPointer(); }
};

SelectionContext MakeContext(FormMain& window) {
    return {window.session(), *window.ProgressMain(), window.ui(), [&window](int tab, int row) {
                QTreeView* view = window.ListMain(tab);
                view->scrollTo(view->model()->index(row, 0));
            }};
}

} // namespace

void InstallReviewCommands(FormMain& window, ModalRunner* runner) {
    static ExecModalRunner execRunner;
    static BusyPointerHooks busyPointer;
    ModalRunner* modal = runner ? runner : &execRunner;

    WindowCommands& commands = window.commands();
    commands.setAlbumChecks = [&window](bool checked) {
        SelectionContext context = MakeContext(window);
        SetAlbumChecks(context, checked);
    };
    commands.setAllChecks = [&window](bool checked) { SetAllChecks(window.session(), checked); };
    commands.previousAlbum = [&window] {
        SelectionContext context = MakeContext(window);
        ItemEditPreviousAlbum(context, window.CurTab());
    };
    commands.nextAlbum = [&window] {
        SelectionContext context = MakeContext(window);
        ItemEditNextAlbum(context, window.CurTab());
    };
    commands.filterView = [&window, modal] {
        const FilterCommandEnvironment environment{
            .owner = &window,
            .runner = *modal,
            .placeDialog = [&window](QWidget* dialog) { FormMain::PlaceDialog(&window, dialog); },
            .hooks = &busyPointer,
        };
        DoMenu_FilterView(window.session(), environment);
    };
}

} // namespace mainwindow
