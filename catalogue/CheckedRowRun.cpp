#include "catalogue/CheckedRowRun.h"

#include "catalogue/CatalogueSession.h"
#include "catalogue/RowKey.h"
#include "musiclibrary/Library.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace catalogue {

int RunView::currentTab() const {
    return TAB_ELIGIBLE;
}

QString Paragraphs(const QStringList& paragraphs) {
    return paragraphs.join(u"\n\n"_s);
}

bool ReportNothingChecked(const SongList& list, support::MessageBoxes* messages,
                          const QString& textNoneChecked, const QString& textEmpty) {
    if (list.HasAtLeastNChecked(1))
        return false;
    if (messages)
        messages->show(Paragraphs({list.rowCount() > 0 ? textNoneChecked : textEmpty,
                                   u"Click the Step 2: Select Tracks toolbar button for more "
                                   u"information."_s}),
                       QString(), support::MbOk, support::MbInformation);
    return true;
}

CheckedRowRunResult RunCheckedRows(CatalogueSession& session, RunEnvironment& environment, int tab,
                                   const CheckedRowSteps& steps) {
    SongList& list = session.ListMain(tab);
    RunView defaultView;
    RunView& view = environment.view ? *environment.view : defaultView;
    LongRun run(environment.progress, session.CancelRequested, environment.ui.events);
    CheckedRowRunResult result;

    const int rowCount = list.rowCount();
    run.begin(rowCount);
    if (steps.begin && !steps.begin()) {
        result.begun = false;
        run.end(false);
        return result;
    }
    // What the run removes is kept as one run, to be restored as one.
    struct JournalRun {
        musiclibrary::IiTunes* library;
        ~JournalRun() {
            if (library)
                library->EndArtworkRun();
        }
    } journalRun{session.Library.get()};
    if (journalRun.library)
        journalRun.library->StartArtworkRun(steps.description);
    const int rowsPerScreen = std::max(1, view.gridRowsVisible());
    int lastShown = -rowsPerScreen;
    int row = 0;
    // Rows that leave the list do not shorten the walk's count: the panel
    // counts the rows looked at.
    while (row < list.rowCount() && result.rowsVisited < rowCount) {
        ++result.rowsVisited;
        RowOutcome outcome = RowOutcome::Stays;
        if (list.model().isChecked(row)) {
            if (view.currentTab() == tab) {
                if (row - lastShown >= rowsPerScreen) {
                    view.scrollToRow(tab, row);
                    lastShown = row;
                }
                run.letEventsRun();
            }
            if (run.cancelRequested()) {
                result.stopped = true;
                break;
            }
            const QString& key = list.model().key(row);
            CheckedRow checked{tab, row, RowTrack(*session.Library, key), RowCatalogueIndex(key)};
            if (!checked.track) {
                result.songVanished = true;
                break;
            }
            outcome = steps.step(checked);
            ++result.checkedRowsDone;
        }
        if (outcome == RowOutcome::Stays)
            ++row;
        if (run.itemDone(result.rowsVisited)) {
            result.stopped = true;
            break;
        }
    }
    run.end(true);
    // What the run wrote is durable under its names before it says done.
    musiclibrary::FinishWrites();
    view.showSelectedRow(tab);
    view.refreshList(tab);
    if (steps.closingText) {
        const QString text = steps.closingText();
        if (!text.isEmpty() && environment.ui.messages)
            environment.ui.messages->show(text, QString(), support::MbOk, support::MbInformation);
    }
    return result;
}

} // namespace catalogue
