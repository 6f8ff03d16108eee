#pragma once

// Step 1, the library scan: walks every track once, fills the catalogue,
// registers every song folder in the folder tree and fills both lists.
// Also the refill of the Eligible list after a view filter change, and the
// common end of every long run.
//
// Failures: reading a track's fields is tried field by field, and a field
// that cannot be read is left empty (never the value an earlier scan put
// into the reused record); a track that cannot be fetched gets an empty
// record and no row; a track whose
// artwork collection cannot be read counts as having no library artwork
// (its folder images still count). Only a failure to read the library's
// track collection or its count ends the scan, with the failure's
// description in a warning message; the lists and counts are then empty,
// the catalogue holds no record and the panel is inactive.

#include "catalogue/FolderListing.h"
#include "foldertree/FolderTree.h"
#include "support/UiServices.h"

#include <cstdint>
#include <functional>

namespace catalogue {

class CatalogueSession;
class ProgressPanel;

// The window's share of a scan. The defaults do nothing (command-line tool).
class ScanHooks {
public:
    virtual ~ScanHooks() = default;
    // After a completed or cancelled scan: enable "Step2", "Step3x" and
    // "Step &2: Select Tracks".
    virtual void enableSelectionSteps() {}
    // After that: show the current tab's selected row as a click would, and
    // give its list the keyboard focus.
    virtual void showCurrentSelection() {}
    // The busy mouse pointer around long list operations.
    virtual void pushBusyPointer() {}
    virtual void popBusyPointer() {}
};

struct ScanEnvironment {
    ProgressPanel& progress;
    support::UiServices ui;
    ScanHooks* hooks = nullptr;
    // Replaced by tests to count or fake folder listings.
    FolderLister lister = ListFolderFiles;
    // Makes the folder tree; replaced by tests to make it fail.
    std::function<int32_t()> newTree = Tree_New;
};

// The support address is quoted by this message when the tree cannot be made.
QString TreeCreationFailedMessage();

void ScanLibrary(CatalogueSession& session, ScanEnvironment& environment);

// Rebuilds the Eligible list from the catalogue under the current view
// filter; every row comes back checked. The Ineligible list is untouched.
void RefreshEligibleList(CatalogueSession& session, ScanHooks* hooks = nullptr);

// Tells the panel the work is complete when success is true and the run
// was not cancelled; then makes it inactive.
void EndProgress(ProgressPanel& progress, bool success, bool cancelRequested);

} // namespace catalogue
