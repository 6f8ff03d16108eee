#pragma once

// The commands of quillmoth-cli. Each command lives in its own small file and
// is listed once in the table of CommandTable.cpp.

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace cli {

class CliContext;

struct Command {
    QString name;
    QString arguments; // for the usage text, e.g. "INDEX IMAGE"
    QString summary;
    int minArguments = 0;
    int maxArguments = 0;
    // Returns the exit status; LibraryError and UsageError are handled by
    // the caller.
    std::function<int(CliContext&, const QStringList&)> run;
};

// Every command, in the order the usage text lists them.
const std::vector<Command>& commandTable();

// The commands, one factory per file.
Command tracksCommand();
Command artworkCommand();
Command addArtworkCommand();
Command deleteArtworkCommand();
Command saveArtworkCommand();
Command setDownloadedCommand();
Command playlistsCommand();
Command demoCommand();
Command scanCommand();
Command embedCommand();
Command embedFolderCommand();
Command deleteCommand();
Command thumbnailsCommand();
Command downloadPlaylistCommand();
Command embedDownloadedCommand();
Command getArtworkCommand();
Command removedCommand();
Command restoreCommand();

} // namespace cli
