// quillmoth: the program's main window over the user's music library.

#include "artwork/ArtworkCommands.h"
#include "mainwindow/FormMain.h"
#include "mainwindow/StartUp.h"
#include "musiclibrary/Library.h"
#include "support/DesktopShell.h"
#include "support/QtUiServices.h"
#include "support/ScreenPointer.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {
// Messages for whoever started the program from a terminal.
void printError(const QString& text) {
    std::fputs(qUtf8Printable(u"quillmoth: "_s + text + u"\n"_s), stderr);
}
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(u"Quillmoth"_s);
    QApplication::setOrganizationName(u"Tarnwick"_s);
    QApplication::setApplicationVersion(QStringLiteral(QUILLMOTH_VERSION));
    QGuiApplication::setDesktopFileName(u"org.quillmoth.Quillmoth"_s);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Puts album cover art into the song files of a music library."_s);
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption libraryOption(
        u"library"_s,
        u"Open the music folder or exported library XML file at <path> (default: the library "
        u"opened last, else the music folder)."_s,
        u"path"_s);
    parser.addOption(libraryOption);
    const QCommandLineOption demoOption(
        u"demo"_s,
        u"Build the demonstration library in the application-data folder and open it."_s);
    parser.addOption(demoOption);
    parser.process(app);
    // Anything the options do not cover is a mistake worth a word, not
    // something to pass over silently and then open another library.
    const auto usageError = [](const QString& text) {
        printError(text);
        return mainwindow::UsageErrorExitStatus;
    };
    if (!parser.positionalArguments().isEmpty())
        return usageError(u"unexpected argument \"%1\"; use --library to choose a library."_s.arg(
            parser.positionalArguments().constFirst()));
    if (parser.isSet(demoOption) && parser.isSet(libraryOption))
        return usageError(u"--demo and --library cannot be used together."_s);

    support::QtUiServices services;
    // The busy pointer is the application's override cursor while the
    // program runs; the stack must not outlive it.
    struct PointerInstallation {
        support::OverrideCursorDisplay display;
        PointerInstallation() { support::InstallPointerDisplay(&display); }
        ~PointerInstallation() { support::InstallPointerDisplay(nullptr); }
    } pointer;

    // A write cut off by a crash is undone before anything reads the songs.
    for (const QString& warning : musiclibrary::RecoverInterruptedWrites())
        services.messages.show(warning, QString(), support::MbOk, support::MbExclamation);

    QString path;
    if (parser.isSet(demoOption)) {
        path = mainwindow::BuildDemoLibrary(services.messages);
        if (path.isEmpty())
            return mainwindow::ConnectionFailedExitStatus;
    } else {
        path = mainwindow::ChooseLibraryPath(parser.value(libraryOption));
    }
    // The message box of a failed start is the same whatever went wrong; the
    // engine's own reason goes to the terminal for whoever started us there.
    std::unique_ptr<mainwindow::FormMain> window = mainwindow::StartMainWindow(
        services.services(),
        mainwindow::MakeLibraryOpener(path, printError, [&services](const QString& notice) {
            services.messages.show(notice, QString(), support::MbOk, support::MbExclamation);
        }));
    if (!window)
        return mainwindow::ConnectionFailedExitStatus;
    artwork::InstallArtworkCommands(*window);
    window->show();
    return QApplication::exec();
}
