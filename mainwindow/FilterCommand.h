#pragma once

// View > "Filter Eligible Songs...": the dialog, then the Eligible list
// rebuilt under the chosen kinds.

#include <functional>

class QWidget;

namespace catalogue {
class CatalogueSession;
class ScanHooks;
} // namespace catalogue

namespace mainwindow {

class ModalRunner;

struct FilterCommandEnvironment {
    // The dialog's owner (its parent), or nullptr.
    QWidget* owner = nullptr;
    ModalRunner& runner;
    // Puts the dialog in its place beside the owner; may be empty.
    std::function<void(QWidget* dialog)> placeDialog;
    // The busy pointer around the refill; may be nullptr.
    catalogue::ScanHooks* hooks = nullptr;
};

// Shows the filter dialog with the current view filter. After OK the view
// filter takes the dialog's kinds and the Eligible list is rebuilt (every
// row checked again, even when nothing changed); anything else changes
// nothing. Returns true after OK.
bool DoMenu_FilterView(catalogue::CatalogueSession& session,
                       const FilterCommandEnvironment& environment);

} // namespace mainwindow
