#pragma once

// Start-up of the program around its main window: which library to open,
// where the engine keeps its data, and the window that comes out of it.

#include "catalogue/CatalogueSession.h"
#include "support/UiServices.h"

#include <QString>

#include <functional>
#include <memory>

namespace mainwindow {

class FormMain;

// The exit status of a start whose library could not be opened.
inline constexpr int ConnectionFailedExitStatus = 1;
// The exit status of a command line the program does not understand (the
// same as that of an unknown option).
inline constexpr int UsageErrorExitStatus = 1;

// The library named on the command line, else the one opened last, else the
// user's music folder.
QString ChooseLibraryPath(const QString& commandLinePath, const QString& lastLibrary,
                          const QString& musicFolder);
// ChooseLibraryPath with the remembered library and the XDG music folder. A
// remembered library that no longer exists is passed over for the music
// folder: otherwise one deleted or renamed library would stop every later
// start that names no library.
QString ChooseLibraryPath(const QString& commandLinePath);

// Where the engine keeps its index, downloaded art and playlists.
QString LibraryDataFolder();

// Builds the demonstration library in the application-data folder and
// returns the path to open; on failure tells the user why and returns empty
// text.
QString BuildDemoLibrary(support::MessageBoxes& messages);

// Opens the library at path with the engine, and remembers it as the library
// opened last once the opening succeeded. A relative path is taken from the
// current folder and remembered as an absolute one, so that the next start
// finds it from wherever it is made. When the opening fails, onFailure (if
// given) receives the engine's description of why, before the failure is
// passed on. onNotice receives what the user should know of an opening that
// went ahead (an index that had to be set aside).
catalogue::LibraryOpener
MakeLibraryOpener(const QString& path,
                  std::function<void(const QString& description)> onFailure = {},
                  std::function<void(const QString& notice)> onNotice = {});

// Creates the main window and runs its load. When the library cannot be
// opened the user has been told why and the result is empty: the program
// then ends with ConnectionFailedExitStatus without showing any window.
std::unique_ptr<FormMain> StartMainWindow(support::UiServices ui,
                                          const catalogue::LibraryOpener& openLibrary);

} // namespace mainwindow
