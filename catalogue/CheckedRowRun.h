#pragma once

// The one shape of every run over the checked rows of a song list (embed,
// delete, thumbnails, playlist, downloaded art): the progress panel counts
// the list's rows; the list follows the work a screenful at a time while it
// is on screen; window events run before each checked row and after every
// row; the run stops when the user presses Stop or when a checked row's song
// can no longer be found; at the end the panel is closed, the selected row
// is shown again, the list is redrawn and one closing message reports the
// counts. Each run supplies only what it does to one row and its texts.

#include "catalogue/LongRun.h"
#include "musiclibrary/ITunes.h"
#include "support/UiServices.h"

#include <QString>

#include <cstdint>
#include <functional>

namespace catalogue {

class CatalogueSession;
class ProgressPanel;
class SongList;

// What a run needs of the window. The defaults stand for no window at all
// (the command-line tool): the Eligible tab is current and nothing scrolls.
class RunView {
public:
    virtual ~RunView() = default;
    virtual int currentTab() const;
    // Rows on screen per list: the run scrolls once per that many rows.
    virtual int gridRowsVisible() const { return 12; }
    virtual void scrollToRow(int /*tab*/, int /*row*/) {}
    // Shows the list's selected row in the details panel again, scrolled into view.
    virtual void showSelectedRow(int /*tab*/) {}
    // Redraws the list after its rows changed.
    virtual void refreshList(int /*tab*/) {}
};

struct RunEnvironment {
    ProgressPanel& progress;
    support::UiServices ui;
    // nullptr: no window.
    RunView* view = nullptr;
};

// One checked row as the run hands it to the step.
struct CheckedRow {
    int tab = 0;
    int row = 0; // 0-based position in the list now
    musiclibrary::TrackPtr track;
    int32_t index = 0; // the catalogue index of the row's key
};

enum class RowOutcome {
    Stays,   // the row is still at its place
    Removed, // the row left the list; the next one has moved up into place
};

struct CheckedRowSteps {
    // What the library's journal of removed artwork calls the run.
    QString description;
    // Runs after the panel started and before the first row; false ends the
    // run at once, without a closing message. May be empty.
    std::function<bool()> begin;
    // What the run does to one checked row.
    std::function<RowOutcome(const CheckedRow&)> step;
    // The closing message, shown with the information icon; empty text
    // shows nothing.
    std::function<QString()> closingText;
};

struct CheckedRowRunResult {
    int rowsVisited = 0;
    int checkedRowsDone = 0;
    bool stopped = false;      // the user pressed Stop (or Cancel in an error message)
    bool songVanished = false; // a checked row's song could no longer be found
    bool begun = true;         // false when begin() refused
};

CheckedRowRunResult RunCheckedRows(CatalogueSession& session, RunEnvironment& environment, int tab,
                                   const CheckedRowSteps& steps);

// Before a run: when the list has no checked row, shows textNoneChecked (the
// list has rows) or textEmpty (it has none), each followed by two line breaks
// and the Step 2 pointer, and answers true.
bool ReportNothingChecked(const SongList& list, support::MessageBoxes* messages,
                          const QString& textNoneChecked, const QString& textEmpty);

// Message boxes answer in paragraphs: this puts two line breaks between them.
QString Paragraphs(const QStringList& paragraphs);

} // namespace catalogue
