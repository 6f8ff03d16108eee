// quillmoth-cli: the music library engine from the command line. Output is
// tab-separated, one record a line. Failures print the engine's description
// on stderr and exit 1; a command line that does not fit prints the usage and
// exits 2.

#include "app/cli/CliCommand.h"
#include "app/cli/CliContext.h"
#include "support/RemovedArtworkSettings.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStandardPaths>
#include <QTextStream>

#include <exception>
#include <new>

#include <cstdio>

namespace {

using namespace Qt::StringLiterals;

constexpr int exitFailure = 1;
constexpr int exitUsage = 2;

QString usageText() {
    QString text =
        u"Usage: quillmoth-cli [--library PATH] [--data-folder DIR] COMMAND [ARGUMENTS]\n"
        u"\n"
        u"--library PATH      a music folder or a library XML file (default: the "
        u"user's music folder)\n"
        u"--data-folder DIR   where the engine keeps its index, downloaded artwork and "
        u"playlists\n"
        u"                    (default: the program's application-data folder)\n"
        u"\n"
        u"Commands:\n"_s;
    for (const cli::Command& command : cli::commandTable()) {
        const QString call =
            command.arguments.isEmpty() ? command.name : command.name + u' ' + command.arguments;
        text += u"  "_s + call.leftJustified(36) + u' ' + command.summary + u'\n';
    }
    return text;
}

const cli::Command* findCommand(const QString& name) {
    for (const cli::Command& command : cli::commandTable())
        if (command.name == name)
            return &command;
    return nullptr;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(u"quillmoth-cli"_s);
    QCoreApplication::setApplicationVersion(QStringLiteral(QUILLMOTH_VERSION));
    QTextStream out(stdout);
    QTextStream err(stderr);

    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    const QCommandLineOption libraryOption(u"library"_s, u"Music folder or library file."_s,
                                           u"PATH"_s);
    const QCommandLineOption dataOption(u"data-folder"_s, u"The engine's data folder."_s, u"DIR"_s);
    const QCommandLineOption helpOption({u"h"_s, u"help"_s}, u"Show the usage."_s);
    parser.addOptions({libraryOption, dataOption, helpOption});
    if (!parser.parse(QCoreApplication::arguments())) {
        err << parser.errorText() << u"\n\n"_s << usageText();
        return exitUsage;
    }
    if (parser.isSet(helpOption)) {
        out << usageText();
        return 0;
    }
    QStringList arguments = parser.positionalArguments();
    const cli::Command* command = arguments.isEmpty() ? nullptr : findCommand(arguments.first());
    if (!command) {
        if (!arguments.isEmpty())
            err << u"Unknown command \"%1\".\n\n"_s.arg(arguments.first());
        err << usageText();
        return exitUsage;
    }
    arguments.removeFirst();
    if (arguments.size() < command->minArguments || arguments.size() > command->maxArguments) {
        err << u"Wrong number of arguments for \"%1\".\n\n"_s.arg(command->name) << usageText();
        return exitUsage;
    }

    const QString library = parser.isSet(libraryOption)
                                ? parser.value(libraryOption)
                                : QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
    musiclibrary::LibraryOptions options;
    options.dataFolder = parser.value(dataOption); // empty: the engine's default
    options.removed = {support::GetRemovedArtworkKeepDays(), support::GetRemovedArtworkMaxBytes()};
    options.notify = [&err](const QString& notice) { err << notice << '\n'; };
    // A write cut off by a crash is undone before anything reads the songs.
    for (const QString& warning : musiclibrary::RecoverInterruptedWrites())
        err << warning << '\n';
    cli::CliContext context(library, options, out);
    try {
        const int status = command->run(context, arguments);
        out.flush();
        return status;
    } catch (const cli::UsageError& error) {
        out.flush();
        err << error.message << u"\n\n"_s << usageText();
        return exitUsage;
    } catch (const musiclibrary::LibraryError& error) {
        out.flush();
        err << error.description() << '\n';
        return exitFailure;
    } catch (const std::bad_alloc&) {
        out.flush();
        err << u"Not enough memory to finish the command."_s << '\n';
        return exitFailure;
    } catch (const std::exception& error) {
        // Anything else is a fault of ours; say so rather than abort.
        out.flush();
        err << u"Internal error: "_s << QString::fromLocal8Bit(error.what()) << '\n';
        return exitFailure;
    }
}
