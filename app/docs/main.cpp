// quillmoth-docgen OUTDIR DATE: writes the manual pages quillmoth-cli.1 and
// quillmoth.1 and the bash completions quillmoth-cli.bash and quillmoth.bash
// into OUTDIR, from the same tables the programs answer --help from. Run at
// build time; not installed.

#include "app/cli/CliHelp.h"
#include "app/docs/Completion.h"
#include "app/docs/Roff.h"
#include "app/gui/GuiHelp.h"

#include <QCoreApplication>
#include <QDir>
#include <QSaveFile>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

// The table's texts are written for --help, in lower case and without a
// full stop; the page makes sentences of them.
QString sentence(const QString& text) {
    return text.isEmpty() ? text : text.front().toUpper() + text.mid(1) + u'.';
}

QString optionTerm(const cli::CommandOption& option) {
    return docs::synopsisMarkup(option.value.isEmpty() ? option.name
                                                       : option.name + u' ' + option.value);
}

// Where both programs keep their data and read their settings.
void filesAndEnvironment(docs::RoffPage& page,
                         const std::vector<std::pair<QString, QString>>& ownVariables) {
    page.section(u"ENVIRONMENT"_s);
    for (const auto& [name, text] : ownVariables)
        page.item(u"\\fB"_s + name + u"\\fR"_s, text);
    page.item(u"\\fBXDG_DATA_HOME\\fR"_s,
              u"Where the data folder lies (default ~/.local/share)."_s);
    page.item(u"\\fBXDG_CONFIG_HOME\\fR"_s,
              u"Where the settings lie (default ~/.config); the music folder is the one named "
              u"in its user-dirs.dirs (XDG_MUSIC_DIR), else ~/Music."_s);
    page.item(u"\\fBHOME\\fR"_s, u"The user's home folder, below which the above are."_s);
    page.section(u"FILES"_s);
    page.item(u"\\fI~/.local/share/Tarnwick/Quillmoth/Library/\\fR"_s,
              u"The data folder: the library index, a cache of what the song files say "
              u"(index.sqlite), the engine's records of persistent ids, playlists and "
              u"downloaded artwork (records.sqlite), downloaded artwork (downloaded/), the "
              u"program's playlists (playlists/, also as .m3u8 files), the pictures removed by "
              u"runs, kept for restoring (removed.sqlite), and the answers of MusicBrainz and "
              u"the Cover Art Archive, kept for 30 days (cover-lookups.json). A file that "
              u"cannot be read is set aside as NAME.unreadable-DATE-TIME, never deleted."_s);
    page.item(u"\\fI~/.local/share/Tarnwick/Quillmoth/Open journals/\\fR"_s,
              u"The rollback journals of writes in progress, listed so that a write cut off "
              u"by a crash is undone at the next start whatever library is opened. The "
              u"journals themselves are hidden .quillmoth-journal-* files in the songs' "
              u"folders."_s);
    page.item(u"\\fI~/.config/Tarnwick/Quillmoth/registry.json\\fR"_s,
              u"The user's settings: the options of the wizards, the library opened last and "
              u"how long removed pictures are kept."_s);
    page.item(u"\\fI/etc/xdg/Tarnwick/Quillmoth/registry.json\\fR"_s,
              u"Settings for every user of the machine, read where the user has none."_s);
}

void exitStatusItems(docs::RoffPage& page, const std::vector<cli::ExitStatus>& statuses) {
    for (const cli::ExitStatus& status : statuses)
        page.item(u"\\fB"_s + QString::number(status.code) + u"\\fR"_s, sentence(status.meaning));
}

// Each example is checked against the table, so that the page cannot show a
// command or an option the program no longer has.
QStringList checkedExamples(const QStringList& lines) {
    for (const QString& line : lines) {
        if (line.startsWith(u'#'))
            continue;
        const QStringList words = line.split(u' ', Qt::SkipEmptyParts);
        const cli::Command* command = nullptr;
        for (const QString& word : words) {
            if (!command && !word.startsWith(u'-') && word != u"quillmoth-cli"_s)
                command = cli::findCommand(word);
            if (word.startsWith(u"--"_s)) {
                const std::vector<cli::CommandOption> options =
                    command ? cli::allOptions(*command) : cli::globalOptions();
                if (std::none_of(options.begin(), options.end(), [&](const auto& option) {
                        return option.name.split(u", "_s).contains(word);
                    }))
                    qFatal("example \"%s\": no option %s", qPrintable(line), qPrintable(word));
            }
        }
        if (!command)
            qFatal("example \"%s\" names no command", qPrintable(line));
    }
    return lines;
}

QString cliPage(const QString& date) {
    docs::RoffPage page(u"quillmoth-cli"_s, date, QStringLiteral(QUILLMOTH_VERSION),
                        u"embed, delete and list the album artwork of a music library"_s);
    page.section(u"SYNOPSIS"_s);
    page.markup(docs::synopsisMarkup(cli::synopsis(u"COMMAND [ARGUMENTS]"_s)));
    page.markup(docs::synopsisMarkup(u"quillmoth-cli COMMAND --help"_s));
    page.markup(docs::synopsisMarkup(u"quillmoth-cli --version"_s));

    page.section(u"DESCRIPTION"_s);
    page.paragraph(u"quillmoth-cli runs the engine of quillmoth(1) for scripts: it lists the "
                   u"songs of a library and their artwork, changes the artwork of one song, and "
                   u"runs the wizards of the window over the songs a scan finds, with the same "
                   u"code and the same results."_s);
    page.paragraph(u"Output is tab-separated, one record a line; tabs and line breaks inside a "
                   u"field become spaces. Runs over checked songs print a line per song as they "
                   u"go, then the closing message of the wizard; their progress goes to standard "
                   u"error. Messages the window would show in a box go to standard error and are "
                   u"answered OK."_s);
    page.section(u"OPTIONS"_s);
    for (const cli::CommandOption& option : cli::globalOptions())
        page.item(optionTerm(option), sentence(option.description));

    page.section(u"COMMANDS"_s);
    for (const cli::Command& command : cli::commandTable()) {
        page.subsection(command.name);
        page.markup(docs::synopsisMarkup(u"quillmoth-cli "_s + cli::commandCall(command)));
        page.paragraph(sentence(command.summary));
        for (const cli::CommandOption& option : cli::allOptions(command))
            page.item(optionTerm(option), option.description.isEmpty()
                                              ? u"See the synopsis."_s
                                              : sentence(option.description));
        if (!command.output.isEmpty())
            page.paragraph(u"Output: "_s + command.output + u'.');
        for (const cli::ExitStatus& own : command.exitStatuses)
            page.paragraph(u"Exit status %1: %2."_s.arg(own.code).arg(own.meaning));
    }

    page.section(u"EXIT STATUS"_s);
    exitStatusItems(page, cli::exitStatuses(cli::Command{}));
    page.paragraph(u"A command may give a status its own meaning; its section above says so."_s);
    filesAndEnvironment(
        page, {{QString::fromLatin1(cli::VerboseVariable),
                u"Set to 1, lets Qt's own diagnostics (such as \"QStandardPaths: XDG_RUNTIME_DIR "
                u"not set\") through to standard error, as --verbose does; they are left out "
                u"otherwise, so that standard error holds only what the command says."_s}});

    page.section(u"EXAMPLES"_s);
    page.paragraph(u"The songs of a music folder, then the scan as Step 1 of the window does "
                   u"it:"_s);
    page.example(checkedExamples(
        {u"quillmoth-cli --library ~/Music tracks"_s, u"quillmoth-cli --library ~/Music scan"_s}));
    page.paragraph(u"Embed artwork of about 500 pixels into the songs 3, 4 and 9 of the scan, "
                   u"then put back what that run removed:"_s);
    page.example(checkedExamples({u"quillmoth-cli --library ~/Music embed --target 500 "
                                  u"--existing 2 --tracks 3,4,9"_s,
                                  u"quillmoth-cli --library ~/Music restore"_s}));
    page.section(u"SEE ALSO"_s);
    page.markup(u"\\fBquillmoth\\fR(1)"_s);
    return page.text();
}

QString guiPage(const QString& date) {
    docs::RoffPage page(u"quillmoth"_s, date, QStringLiteral(QUILLMOTH_VERSION),
                        u"put album cover art into the song files of a music library"_s);
    QString call = u"quillmoth"_s;
    for (const cli::CommandOption& option : gui::options())
        if (!option.name.startsWith(u"-h"_s) && !option.name.startsWith(u"-v"_s))
            call += u" ["_s + option.name +
                    (option.value.isEmpty() ? QString() : u" <"_s + option.value + u'>') + u']';
    page.section(u"SYNOPSIS"_s);
    page.markup(docs::synopsisMarkup(call));
    page.section(u"DESCRIPTION"_s);
    page.paragraph(gui::description());
    page.paragraph(u"A library is a music folder (every audio file below it) or a library XML "
                   u"file exported by a desktop player. The window works in three steps: Step 1 "
                   u"scans the library and sorts its songs into Eligible and Ineligible ones, "
                   u"Step 2 reviews them and checks the songs to change, Step 3 runs a wizard "
                   u"over the checked songs: embed artwork, delete artwork, create folder "
                   u"thumbnails, make the download playlist or embed downloaded artwork. Every "
                   u"change of a song file is all or nothing."_s);
    page.paragraph(u"The same work is done from scripts by quillmoth-cli(1)."_s);
    page.section(u"OPTIONS"_s);
    for (const cli::CommandOption& option : gui::options())
        page.item(docs::synopsisMarkup(option.value.isEmpty()
                                           ? option.name
                                           : option.name + u" <"_s + option.value + u'>'),
                  option.description);
    page.section(u"EXIT STATUS"_s);
    exitStatusItems(page, gui::exitStatuses());
    filesAndEnvironment(page, {});
    page.section(u"SEE ALSO"_s);
    page.markup(u"\\fBquillmoth\\-cli\\fR(1)"_s);
    return page.text();
}

bool write(const QString& path, const QString& text) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0 || !file.commit()) {
        std::fprintf(stderr, "quillmoth-docgen: cannot write %s: %s\n", qPrintable(path),
                     qPrintable(file.errorString()));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 3) {
        std::fputs("Usage: quillmoth-docgen OUTDIR DATE\n", stderr);
        return 2;
    }
    const QDir out(arguments[1]);
    const QString date = arguments[2];
    QDir().mkpath(out.path());
    std::vector<cli::CommandOption> cliGlobals = cli::globalOptions();
    const bool written =
        write(out.filePath(u"quillmoth-cli.1"_s), cliPage(date)) &&
        write(out.filePath(u"quillmoth.1"_s), guiPage(date)) &&
        write(out.filePath(u"quillmoth-cli.bash"_s),
              docs::bashCompletion(u"quillmoth-cli"_s, cliGlobals, cli::commandTable())) &&
        write(out.filePath(u"quillmoth.bash"_s),
              docs::bashCompletion(u"quillmoth"_s, gui::options(), {}));
    return written ? 0 : 1;
}
