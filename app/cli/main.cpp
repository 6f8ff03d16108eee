// quillmoth-cli: the music library engine from the command line. Output is
// tab-separated, one record a line. Failures print the engine's description
// on stderr and exit 1; a command line that does not fit prints the usage and
// exits 2.

#include "app/cli/CliCommand.h"
#include "app/cli/CliContext.h"
#include "app/cli/CliHelp.h"
#include "app/cli/ParserOptions.h"
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

bool qtMessagesWanted = false;
QtMessageHandler qtHandler = nullptr;

// Qt's warnings ("QStandardPaths: XDG_RUNTIME_DIR not set" under cron or
// su) would end up among the command's own errors, where a script reading
// standard error takes them for a failure.
void filterQtMessages(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (qtHandler && (qtMessagesWanted || type == QtCriticalMsg || type == QtFatalMsg))
        qtHandler(type, context, text);
}

// After a mistake in a command's own arguments, that command's synopsis
// says more than the list of every command.
QString commandUsage(const cli::Command& command) {
    return u"Usage: "_s + cli::synopsis(cli::commandCall(command)) +
           u"\nSee \"quillmoth-cli %1 --help\" for its options.\n"_s.arg(command.name);
}

} // namespace

int main(int argc, char** argv) {
    const QByteArray verbose = qgetenv(cli::VerboseVariable);
    qtMessagesWanted = !verbose.isEmpty() && verbose != "0";
    qtHandler = qInstallMessageHandler(filterQtMessages);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(u"quillmoth-cli"_s);
    QCoreApplication::setApplicationVersion(QStringLiteral(QUILLMOTH_VERSION));
    QTextStream out(stdout);
    QTextStream err(stderr);

    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    const cli::ParserOptions global(parser, cli::globalOptions());
    const QCommandLineOption& libraryOption = global[u"library"_s];
    const QCommandLineOption& dataOption = global[u"data-folder"_s];
    if (!parser.parse(QCoreApplication::arguments())) {
        err << parser.errorText() << u"\n\n"_s << cli::usageText();
        return exitUsage;
    }
    qtMessagesWanted = qtMessagesWanted || parser.isSet(global[u"verbose"_s]);
    if (parser.isSet(global[u"version"_s])) {
        out << cli::versionText();
        return 0;
    }
    const bool help = parser.isSet(global[u"help"_s]);
    QStringList arguments = parser.positionalArguments();
    const cli::Command* command =
        arguments.isEmpty() ? nullptr : cli::findCommand(arguments.first());
    // "COMMAND --help", and "--help COMMAND" as other tools take it.
    if (command && (help || arguments.mid(1).contains(u"--help"_s))) {
        out << cli::commandHelp(*command);
        return 0;
    }
    if (help && arguments.isEmpty()) {
        out << cli::usageText();
        return 0;
    }
    if (!command) {
        if (!arguments.isEmpty())
            err << u"Unknown command \"%1\".\n\n"_s.arg(arguments.first());
        err << cli::usageText();
        return exitUsage;
    }
    arguments.removeFirst();
    if (arguments.size() < command->minArguments || arguments.size() > command->maxArguments) {
        err << u"Wrong number of arguments for \"%1\".\n\n"_s.arg(command->name)
            << commandUsage(*command);
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
        err << error.message << u"\n\n"_s << commandUsage(*command);
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
