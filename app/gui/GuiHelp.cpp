#include "app/gui/GuiHelp.h"

#include "mainwindow/StartUp.h"

namespace gui {

using namespace Qt::StringLiterals;

QString description() {
    return u"Puts album cover art into the song files of a music library."_s;
}

const std::vector<cli::CommandOption>& options() {
    static const std::vector<cli::CommandOption> list = {
        {u"--library"_s, u"path"_s,
         u"Open the music folder or exported library XML file at <path> (default: the library "
         u"opened last, else the music folder)."_s},
        {u"--demo"_s,
         {},
         u"Build the demonstration library in the application-data folder and open it."_s},
        {u"-h, --help"_s, {}, u"Displays help on commandline options."_s},
        {u"-v, --version"_s, {}, u"Displays version information."_s},
    };
    return list;
}

const std::vector<cli::ExitStatus>& exitStatuses() {
    static_assert(mainwindow::ConnectionFailedExitStatus == mainwindow::UsageErrorExitStatus);
    static const std::vector<cli::ExitStatus> list = {
        {0, u"the window was closed"_s},
        {mainwindow::ConnectionFailedExitStatus,
         u"the library could not be opened (the reason is on standard error), or the command "
         u"line was not understood"_s},
    };
    return list;
}

} // namespace gui
