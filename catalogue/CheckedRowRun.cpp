#include "catalogue/CheckedRowRun.h"

#include "catalogue/CatalogueSession.h"
#include "catalogue/RowKey.h"
#include "musiclibrary/Library.h"

#include <QSet>

#include <algorithm>
#include <array>
#include <utility>

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

namespace {

// The run acts on the songs that were checked when it started, found by
// their keys: the window refuses every command that refills, reorders or
// re-checks a list while a run goes, and should the list change all the
// same, no song the user did not choose is touched.
QSet<QString> CheckedKeys(const SongListModel& model) {
    QSet<QString> keys;
    for (int row = 0; row < model.rowCount(); ++row)
        if (model.isChecked(row))
            keys.insert(model.key(row));
    return keys;
}

// Notices a list that was refilled or reordered under the run, so that the
// walk can start again from the top instead of reading rows that moved; rows
// taken out above the walk's place move it up with the rows that follow.
class ListWatch {
public:
    ListWatch(const SongListModel& model, int& row) {
        const auto rebuilt = [this] { m_rebuilt = true; };
        m_connections = {
            QObject::connect(&model, &QAbstractItemModel::modelReset, rebuilt),
            QObject::connect(&model, &QAbstractItemModel::layoutChanged, rebuilt),
            QObject::connect(&model, &QAbstractItemModel::rowsInserted, rebuilt),
            QObject::connect(&model, &QAbstractItemModel::rowsMoved, rebuilt),
            QObject::connect(&model, &QAbstractItemModel::rowsRemoved,
                             [&row](const QModelIndex&, int first, int last) {
                                 if (first < row)
                                     row = std::max(first, row - (last - first + 1));
                             }),
        };
    }
    ~ListWatch() {
        for (const QMetaObject::Connection& connection : m_connections)
            QObject::disconnect(connection);
    }
    ListWatch(const ListWatch&) = delete;
    ListWatch& operator=(const ListWatch&) = delete;
    bool takeRebuilt() { return std::exchange(m_rebuilt, false); }

private:
    bool m_rebuilt = false;
    std::array<QMetaObject::Connection, 5> m_connections;
};

} // namespace

CheckedRowRunResult RunCheckedRows(CatalogueSession& session, RunEnvironment& environment, int tab,
                                   const CheckedRowSteps& steps) {
    SongList& list = session.ListMain(tab);
    RunView defaultView;
    RunView& view = environment.view ? *environment.view : defaultView;
    LongRun run(environment.progress, session.CancelRequested, environment.ui.events);
    CheckedRowRunResult result;

    const int rowCount = list.rowCount();
    QSet<QString> chosen = CheckedKeys(list.model());
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
    ListWatch watch(list.model(), row);
    // Rows that leave the list do not shorten the walk's count: the panel
    // counts the rows looked at.
    int visitsAllowed = rowCount;
    for (;;) {
        if (watch.takeRebuilt() && !chosen.isEmpty()) {
            row = 0;
            lastShown = -rowsPerScreen;
            visitsAllowed = result.rowsVisited + list.rowCount();
        }
        if (row >= list.rowCount() || result.rowsVisited >= visitsAllowed)
            break;
        ++result.rowsVisited;
        RowOutcome outcome = RowOutcome::Stays;
        if (list.model().isChecked(row) && chosen.contains(list.model().key(row))) {
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
            // The events may have changed the list under the run: the row is
            // read again, and acted on only when it is still one of the chosen.
            if (row < list.rowCount() && chosen.remove(list.model().key(row))) {
                const QString key = list.model().key(row);
                CheckedRow checked{tab, row, RowTrack(*session.Library, key),
                                   RowCatalogueIndex(key)};
                if (!checked.track) {
                    result.songVanished = true;
                    break;
                }
                outcome = steps.step(checked);
                ++result.checkedRowsDone;
            }
        }
        if (outcome == RowOutcome::Stays)
            ++row;
        if (run.itemDone(std::min(result.rowsVisited, rowCount))) {
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
