#include "app/cli/CliCommand.h"

#include <QRegularExpression>

namespace cli {

using namespace Qt::StringLiterals;

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

CommandOption filterOption() {
    return {u"--filter"_s, u"MASK"_s,
            u"scan with the view filter MASK, the sum of the artwork kinds to show (1 downloaded, "
            u"2 embedded, 4 Folder.jpg, 8 AlbumArtSmall.jpg, 16 and 32 the small and large "
            u"AlbumArt_{...}.jpg, 64 other images, 128 backups); default 255, every kind"_s};
}

CommandOption tracksOption() {
    return {u"--tracks"_s, u"LIST"_s,
            u"check only the songs of LIST, comma-separated catalogue indexes (the first field "
            u"of scan); default every Eligible song"_s};
}

std::vector<CommandOption> allOptions(const Command& command) {
    std::vector<CommandOption> options = command.options;
    // "[--name VALUE]" or "[--switch]" in the synopsis.
    static const QRegularExpression group(u"\\[(--[A-Za-z0-9-]+)(?: ([^\\]]+))?\\]"_s);
    for (const QRegularExpressionMatch& match : group.globalMatch(command.arguments)) {
        const QString name = match.captured(1);
        if (std::none_of(options.begin(), options.end(),
                         [&](const CommandOption& option) { return option.name == name; }))
            options.push_back({name, match.captured(2), {}});
    }
    return options;
}

std::vector<ExitStatus> exitStatuses(const Command& command) {
    std::vector<ExitStatus> statuses = {
        {0, u"the command did what it was asked"_s},
        {1, u"it failed; the reason is on standard error"_s},
        {2, u"the command line does not fit the command; the usage is on standard error"_s},
    };
    for (const ExitStatus& own : command.exitStatuses) {
        const auto same = std::find_if(statuses.begin(), statuses.end(),
                                       [&](const ExitStatus& s) { return s.code == own.code; });
        if (same != statuses.end())
            *same = own;
        else
            statuses.push_back(own);
    }
    std::sort(statuses.begin(), statuses.end(),
              [](const ExitStatus& a, const ExitStatus& b) { return a.code < b.code; });
    return statuses;
}

} // namespace cli
