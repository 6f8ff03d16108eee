#include "app/cli/CliCommand.h"

namespace cli {

const std::vector<Command>& commandTable() {
    static const std::vector<Command> table = {
        tracksCommand(),      artworkCommand(),
        addArtworkCommand(),  deleteArtworkCommand(),
        saveArtworkCommand(), setDownloadedCommand(),
        playlistsCommand(),   demoCommand(),
        scanCommand(),        embedCommand(),
        embedFolderCommand(), deleteCommand(),
        thumbnailsCommand(),  downloadPlaylistCommand(),
        getArtworkCommand(),  embedDownloadedCommand(),
        removedCommand(),     restoreCommand(),
    };
    return table;
}

} // namespace cli
