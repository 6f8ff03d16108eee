#pragma once

// The commands of quillmoth-cli. Each command lives in its own small file and
// is listed once in the table of CommandTable.cpp. The usage text, each
// command's --help, the manual page and the shell completion are all made
// from that table, so that none of them can tell of a command that is not
// there.

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace cli {

class CliContext;

// An option a command takes after its name.
struct CommandOption {
    QString name;  // "--target"
    QString value; // what follows it, e.g. "N"; empty for a switch
    QString description;
};

// The names an option answers to, without dashes ("-h, --help": h, help),
// as QCommandLineOption takes them.
inline QStringList optionNameList(const CommandOption& option) {
    QStringList names = option.name.split(QStringLiteral(", "));
    for (QString& name : names)
        while (name.startsWith(u'-'))
            name.remove(0, 1);
    return names;
}

// An exit status and when a command ends with it.
struct ExitStatus {
    int code = 0;
    QString meaning;
};

struct Command {
    QString name;
    QString arguments; // for the usage text, e.g. "INDEX IMAGE"
    QString summary;
    int minArguments = 0;
    int maxArguments = 0;
    // Returns the exit status; LibraryError and UsageError are handled by
    // the caller.
    std::function<int(CliContext&, const QStringList&)> run;
    // For the command's --help and the manual page. A command that leaves
    // them out still gets its synopsis and the options the synopsis names.
    std::vector<CommandOption> options = {};
    QString output = {}; // what each line on standard output holds
    // Where the command differs from the statuses every command shares
    // (0 done, 1 failed, 2 a command line that does not fit).
    std::vector<ExitStatus> exitStatuses = {};
};

// The options every run over checked rows takes.
CommandOption filterOption();
CommandOption tracksOption();

// Every option of the command: those described, then any other its synopsis
// names (with the value the synopsis shows and no description).
std::vector<CommandOption> allOptions(const Command& command);
// The shared exit statuses with the command's own in their place.
std::vector<ExitStatus> exitStatuses(const Command& command);

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
