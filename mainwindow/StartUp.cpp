#include "mainwindow/StartUp.h"

#include "mainwindow/FormMain.h"
#include "musiclibrary/DemoLibrary.h"
#include "musiclibrary/Library.h"
#include "support/AppData.h"
#include "support/Registry.h"
#include "support/RegistryKeys.h"
#include "support/RemovedArtworkSettings.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <exception>

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
    const bool lastStillThere = !last.trimmed().isEmpty() && QFileInfo::exists(last);
    return ChooseLibraryPath(commandLinePath, lastStillThere ? last : QString(),
                             QStandardPaths::writableLocation(QStandardPaths::MusicLocation));
}

QString LibraryDataFolder() {
    return support::AppDataFolder() + u"Library/"_s;
}

namespace {
musiclibrary::LibraryOptions userLibraryOptions() {
    return {LibraryDataFolder(),
            {support::GetRemovedArtworkKeepDays(), support::GetRemovedArtworkMaxBytes()}};
}
} // namespace

namespace {
void showDemoFailure(support::MessageBoxes& messages, const QString& description) {
    messages.show(u"The demonstration library could not be built."_s + u"\n\n"_s + description,
                  QString(), support::MbOk, support::MbCritical);
}
} // namespace

QString BuildDemoLibrary(support::MessageBoxes& messages) {
    try {
        return musiclibrary::buildDemoLibrary(musiclibrary::defaultDemoLibraryFolder(),
                                              userLibraryOptions());
    } catch (const musiclibrary::LibraryError& error) {
        showDemoFailure(messages, error.description());
    } catch (const std::exception& error) {
        showDemoFailure(messages, QString::fromLocal8Bit(error.what()));
    }
    return {};
}

catalogue::LibraryOpener MakeLibraryOpener(const QString& path,
                                           std::function<void(const QString&)> onFailure,
                                           std::function<void(const QString&)> onNotice) {
    // Empty text stays empty, so that the engine reports "no library given".
    const QString absolute =
        path.trimmed().isEmpty() ? path : QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    return [absolute, onFailure = std::move(onFailure), onNotice = std::move(onNotice)] {
        musiclibrary::ITunesPtr library;
        try {
            musiclibrary::LibraryOptions options = userLibraryOptions();
            options.notify = onNotice;
            library = musiclibrary::openLibrary(absolute, options);
        } catch (const musiclibrary::LibraryError& error) {
            if (onFailure)
                onFailure(error.description());
            throw;
        } catch (const std::exception& error) {
            if (onFailure)
                onFailure(QString::fromLocal8Bit(error.what()));
            throw;
        }
        support::RegSetString(support::Hive::CurrentUser, support::KEY_QUILLMOTH,
                              support::VALUE_LAST_LIBRARY, absolute);
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
