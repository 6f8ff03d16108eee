#pragma once

// The File, Web and Help menu commands that the main window forwards here.

#include "support/UiServices.h"

#include <QString>

#include <functional>
#include <optional>

class QDialog;
class QWidget;

namespace support {

// "&View File in Windows Explorer": selectedFullPath is the full-path column
// of the selected row of the current tab, or no value when no row is
// selected. Returns false when the caller should disable the menu item.
bool DoMenu_ViewFileInExplorer(const std::optional<QString>& selectedFullPath, MessageBoxes& boxes);

// "&Online Documentation" (F1) and the Web menu's "&Documentation".
void DoMenu_OnlineDocumentation();
// "Quillmoth &Home Page".
void DoMenu_ProductHomePage();
// "&Tarnwick Home Page".
void DoMenu_MakerHomePage();

// "&About...": shows FormAbout modally over owner. place positions the dialog
// before it is shown (the main window passes its PlaceDialog).
void DoMenu_About(QWidget* owner, const std::function<void(QDialog&)>& place = {});

} // namespace support
