#pragma once

// The user's review of the Eligible list: check marks per album or for the
// whole list, moving the selection from album to album, and moving a row
// from one list to another once a run has changed what a song is. All of it
// works on the session's song lists, so it runs without a window.

#include "catalogue/CatalogueSession.h"
#include "catalogue/ProgressPanel.h"
#include "support/UiServices.h"

#include <functional>

namespace mainwindow {

// What the selection commands need beyond the session.
struct SelectionContext {
    catalogue::CatalogueSession& session;
    catalogue::ProgressPanel& progress;
    support::UiServices ui;
    // After an album move has made row the selected row of tab's list:
    // scroll it into view (the window's selection wiring shows it in the
    // details panel, as a click would). May be empty.
    std::function<void(int tab, int row)> ensureVisible;
};

// "Unexpected error: Cannot determine album folder path." + two line
// breaks + folder.
QString AlbumFolderUnknownMessage(const QString& folder);
QString ListOutOfDateMessage();

// Checks or unchecks every Eligible row of the selected Eligible song's
// album: the records with the same folder node and the same album name,
// trimmed and without regard to case. No selected row, or a song that is
// no longer in the library: nothing happens.
void SetAlbumChecks(SelectionContext& context, bool checked);

// Sets or clears the check mark of every row of the Eligible list.
void SetAllChecks(catalogue::CatalogueSession& session, bool checked);

// Selects the first row after the selected one in tab's list whose album
// name differs without regard to case (outer blanks count); rows whose song
// cannot be found are passed over. Beeps when there is none. Returns true
// when the selection moved.
bool ItemEditNextAlbum(SelectionContext& context, int tab);
// Selects the first row of the album run before the selected row's album,
// by the same rules. Beeps when there is none.
bool ItemEditPreviousAlbum(SelectionContext& context, int tab);

// Moves row (0-based) of list from to the end of list to, keeping its texts,
// check mark and key; with checkDuplicate, no copy is added when the target
// list already holds a row with the same key. The tab counts follow: one
// less for from, one more for to when a copy was added.
//
// TAB_EMBEDDED names no list: a row moved there has just had art embedded,
// so it leaves the Eligible list (keeping it checked would embed again on
// the next run) and only the from list's count changes.
//
// A row outside the list does nothing. Returns true when the row was removed.
bool privMoveListItemBetweenTabs(catalogue::CatalogueSession& session, int row, int from, int to,
                                 bool checkDuplicate);

} // namespace mainwindow
