#include "mainwindow/Selection.h"

#include "catalogue/PathOps.h"
#include "catalogue/RowKey.h"
#include "support/ScreenPointer.h"

#include <optional>

using namespace Qt::StringLiterals;

namespace mainwindow {

using catalogue::SongList;
using musiclibrary::TrackPtr;

namespace {

TrackPtr TrackOfRow(const catalogue::CatalogueSession& session, const SongList& list, int row) {
    if (!session.Library || row < 0 || row >= list.rowCount())
        return nullptr;
    return catalogue::RowTrack(*session.Library, list.model().key(row));
}

// The song's album as the library reports it now, in lower case; none when
// the song cannot be found or its album cannot be read.
std::optional<QString> LowerAlbumOfRow(const catalogue::CatalogueSession& session,
                                       const SongList& list, int row) {
    const TrackPtr track = TrackOfRow(session, list, row);
    if (!track)
        return std::nullopt;
    try {
        return track->Album().toLower();
    } catch (const musiclibrary::LibraryError&) {
        return std::nullopt;
    }
}

// The selected row's album in lower case, or none when there is nothing to
// move from.
std::optional<QString> SelectedAlbum(const SelectionContext& context, const SongList& list) {
    const int selected = list.selectedRow();
    if (selected < 0)
        return std::nullopt;
    return LowerAlbumOfRow(context.session, list, selected);
}

void MoveSelectionTo(SelectionContext& context, int tab, int row) {
    context.session.ListMain(tab).selectRow(row);
    if (context.ensureVisible)
        context.ensureVisible(tab, row);
}

void Beep(const SelectionContext& context) {
    if (context.ui.beeper)
        context.ui.beeper->beep();
}

QString AlbumKey(const QString& album) {
    return album.trimmed().toLower();
}

} // namespace

QString AlbumFolderUnknownMessage(const QString& folder) {
    return u"Unexpected error: Cannot determine album folder path.\n\n"_s + folder;
}

QString ListOutOfDateMessage() {
    return u"The list of songs appears to be out of date.  Please refresh the list and then try "
           u"again."_s;
}

void SetAlbumChecks(SelectionContext& context, bool checked) {
    catalogue::CatalogueSession& session = context.session;
    SongList& list = session.Eligible;
    const int selected = list.selectedRow();
    const TrackPtr track = TrackOfRow(session, list, selected);
    if (!track)
        return;

    QString albumName;
    try {
        albumName = AlbumKey(track->Album());
    } catch (const musiclibrary::LibraryError&) {
        return; // as good as a song that is gone
    }
    const int32_t index = catalogue::RowCatalogueIndex(list.model().key(selected));
    const catalogue::TrackRecord* selectedRecord = session.Catalogue.Record(index);
    const int32_t node = selectedRecord ? selectedRecord->PathNode : 0;
    if (node == 0) {
        // The folder as the library gives it: on a case-sensitive file system
        // a lower-cased path would name a folder that does not exist.
        context.ui.messages->show(
            AlbumFolderUnknownMessage(catalogue::FolderOfPath(catalogue::TrackLocation(track))),
            QString(), support::MbOk, support::MbExclamation);
        return;
    }

    support::PushPointer(support::POINTER_HOURGLASS);
    const int rowCount = list.rowCount();
    context.progress.setMax(rowCount);
    context.progress.setValue(0);
    for (int row = 0; row < rowCount; ++row) {
        const int32_t j = catalogue::RowCatalogueIndex(list.model().key(row));
        if (!session.Catalogue.IsFilled(j)) {
            support::PopPointer();
            context.ui.messages->show(ListOutOfDateMessage(), QString(), support::MbOk,
                                      support::MbExclamation);
            support::PushPointer(support::POINTER_HOURGLASS);
            break;
        }
        const catalogue::TrackRecord& record = session.Catalogue[j];
        if (record.PathNode == node && AlbumKey(record.Album) == albumName)
            list.model().setChecked(row, checked);
        context.progress.setValue(row + 1);
    }
    support::PopPointer();
    context.progress.done();
}

void SetAllChecks(catalogue::CatalogueSession& session, bool checked) {
    catalogue::SongListModel& model = session.Eligible.model();
    for (int row = 0; row < model.rowCount(); ++row)
        model.setChecked(row, checked);
}

bool ItemEditNextAlbum(SelectionContext& context, int tab) {
    const SongList& list = context.session.ListMain(tab);
    const std::optional<QString> name = SelectedAlbum(context, list);
    if (!name)
        return false;
    for (int row = list.selectedRow(); row < list.rowCount(); ++row) {
        const std::optional<QString> album = LowerAlbumOfRow(context.session, list, row);
        if (album && *album != *name) {
            MoveSelectionTo(context, tab, row);
            return true;
        }
    }
    Beep(context);
    return false;
}

bool ItemEditPreviousAlbum(SelectionContext& context, int tab) {
    const SongList& list = context.session.ListMain(tab);
    const std::optional<QString> name = SelectedAlbum(context, list);
    if (!name)
        return false;

    int row = list.selectedRow();
    std::optional<QString> previousName;
    for (; row >= 0; --row) {
        previousName = LowerAlbumOfRow(context.session, list, row);
        if (previousName && *previousName != *name)
            break;
    }
    if (row < 0) {
        Beep(context);
        return false;
    }

    // Walk up to the first row of that album's run.
    int target = row;
    for (int above = row - 1; above >= 0; --above) {
        const std::optional<QString> album = LowerAlbumOfRow(context.session, list, above);
        if (!album)
            continue;
        if (*album != *previousName)
            break;
        target = above;
    }
    MoveSelectionTo(context, tab, target);
    return true;
}

bool privMoveListItemBetweenTabs(catalogue::CatalogueSession& session, int row, int from, int to,
                                 bool checkDuplicate) {
    if (from != catalogue::TAB_ELIGIBLE && from != catalogue::TAB_INELIGIBLE)
        return false;
    SongList& source = session.ListMain(from);
    if (row < 0 || row >= source.rowCount())
        return false;

    const catalogue::SongRow moved = source.model().songRow(row);
    const bool targetIsList = to == catalogue::TAB_ELIGIBLE || to == catalogue::TAB_INELIGIBLE;
    bool addCopy = targetIsList;
    if (addCopy && checkDuplicate)
        addCopy = session.ListMain(to).model().findRowByKey(moved.key) < 0;

    // Removed before the copy is added, so that a move within one list
    // removes the row that was meant and not its copy.
    source.model().removeSongRow(row);
    if (addCopy)
        session.ListMain(to).addRow(moved);

    int32_t delta[2] = {0, 0};
    delta[from] -= 1;
    if (addCopy)
        delta[to] += 1;
    session.Counts.UpdateTabCounts(delta[catalogue::TAB_ELIGIBLE],
                                   delta[catalogue::TAB_INELIGIBLE]);
    return true;
}

} // namespace mainwindow
