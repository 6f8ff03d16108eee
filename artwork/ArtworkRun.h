#pragma once

// What every artwork run works with: the session (library, catalogue,
// lists, cancel flag), the window's share (progress panel, messages,
// events, scrolling) and, for the command-line tool, a report per song.

#include "catalogue/CheckedRowRun.h"
#include "catalogue/TabCounts.h"

#include <QString>

#include <functional>

namespace catalogue {
class CatalogueSession;
}

namespace artwork {

// How one checked row ended, as the command-line tool prints it.
struct RowReport {
    int32_t index = 0;
    QString status; // "embedded", "changed", "unchanged", "failed"
    QString path;   // the image used or written, empty when none
    QString detail; // why nothing changed, or the failure's description
};

struct ArtworkRunContext {
    catalogue::CatalogueSession& session;
    catalogue::RunEnvironment& environment;
    // Called once for each checked row the run dealt with; may be empty.
    std::function<void(const RowReport&)> onRow = {};

    void report(const RowReport& row) const {
        if (onRow)
            onRow(row);
    }
    support::MessageBoxes* messages() const { return environment.ui.messages; }
    int currentTab() const {
        return environment.view ? environment.view->currentTab() : catalogue::TAB_ELIGIBLE;
    }
};

} // namespace artwork
