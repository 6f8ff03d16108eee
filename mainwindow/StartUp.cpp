#include "mainwindow/StartUp.h"

#include "mainwindow/FormMain.h"
#include "musiclibrary/DemoLibrary.h"
#include "musiclibrary/Library.h"
#include "support/AppData.h"
#include "support/Registry.h"
#include "support/RegistryKeys.h"

#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace mainwindow {

QString ChooseLibraryPath(const QString& commandLinePath, const QString& lastLibrary,
                          const QString& musicFolder) {
    if (!commandLinePath.trimmed().isEmpty())
        return commandLinePath;
    if (!lastLibrary.trimmed().isEmpty())
        return lastLibrary;
    return musicFolder;
}

QString ChooseLibraryPath(const QString& commandLinePath) {
    // Paths can be longer than the usual settings limit, so the read allows
    // any length a path can have.
    constexpr int MaxPathBytes = 65536;
    const QString last = support::RegGetString(support::Hive::CurrentUser, support::KEY_QUILLMOTH,
                                               support::VALUE_LAST_LIBRARY, MaxPathBytes);
    return ChooseLibraryPath(commandLinePath, last,
                             QStandardPaths::writableLocation(QStandardPaths::MusicLocation));
}

QString LibraryDataFolder() {
    return support::AppDataFolder() + u"Library/"_s;
}

QString BuildDemoLibrary(support::MessageBoxes& messages) {
    try {
        return musiclibrary::buildDemoLibrary(musiclibrary::defaultDemoLibraryFolder(),
                                              {.dataFolder = LibraryDataFolder()});
    } catch (const musiclibrary::LibraryError& error) {
        messages.show(u"The demonstration library could not be built."_s + u"\n\n"_s +
                          error.description(),
                      QString(), support::MbOk, support::MbCritical);
        return {};
    }
}

catalogue::LibraryOpener MakeLibraryOpener(const QString& path) {
    return [path] {
        musiclibrary::ITunesPtr library =
            musiclibrary::openLibrary(path, {.dataFolder = LibraryDataFolder()});
        support::RegSetString(support::Hive::CurrentUser, support::KEY_QUILLMOTH,
                              support::VALUE_LAST_LIBRARY, path);
        return library;
    };
}

std::unique_ptr<FormMain> StartMainWindow(support::UiServices ui,
                                          const catalogue::LibraryOpener& openLibrary) {
    auto window = std::make_unique<FormMain>(ui);
    if (!window->Load(openLibrary))
        return nullptr;
    return window;
}

} // namespace mainwindow
