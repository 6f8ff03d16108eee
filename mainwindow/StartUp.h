#pragma once

// Start-up of the program around its main window: which library to open,
// where the engine keeps its data, and the window that comes out of it.

#include "catalogue/CatalogueSession.h"
#include "support/UiServices.h"

#include <QString>

#include <memory>

namespace mainwindow {

class FormMain;

// The exit status of a start whose library could not be opened.
inline constexpr int ConnectionFailedExitStatus = 1;

// The library named on the command line, else the one opened last, else the
// user's music folder.
QString ChooseLibraryPath(const QString& commandLinePath, const QString& lastLibrary,
                          const QString& musicFolder);
// ChooseLibraryPath with the remembered library and the XDG music folder.
QString ChooseLibraryPath(const QString& commandLinePath);

// Where the engine keeps its index, downloaded art and playlists.
QString LibraryDataFolder();

// Builds the demonstration library in the application-data folder and
// returns the path to open; on failure tells the user why and returns empty
// text.
QString BuildDemoLibrary(support::MessageBoxes& messages);

// Opens the library at path with the engine, and remembers it as the library
// opened last once the opening succeeded.
catalogue::LibraryOpener MakeLibraryOpener(const QString& path);

// Creates the main window and runs its load. When the library cannot be
// opened the user has been told why and the result is empty: the program
// then ends with ConnectionFailedExitStatus without showing any window.
std::unique_ptr<FormMain> StartMainWindow(support::UiServices ui,
                                          const catalogue::LibraryOpener& openLibrary);

} // namespace mainwindow
