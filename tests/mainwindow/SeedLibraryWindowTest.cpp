#include "tests/mainwindow/SeedLibraryWindowTest.h"

#include "mainwindow/StartUp.h"
#include "musiclibrary/Library.h"
#include "support/Registry.h"

using namespace Qt::StringLiterals;

void SeedLibraryWindowTest::startWindow(const QList<SeedPlacement>& seeds) {
    for (const auto& [seed, placement] : seeds)
        library.copySeed(seed, placement);
    startWindowOn(library.path());
}

void SeedLibraryWindowTest::startWindowOn(const QString& path) {
    support::SetRegistryFiles({settings.file(u"user.json"_s), settings.file(u"machine.json"_s)});
    window = mainwindow::StartMainWindow(
        ui.services(), [this, path] { return musiclibrary::openLibrary(path, {data.path()}); });
    ASSERT_TRUE(window);
}

void SeedLibraryWindowTest::TearDown() {
    window.reset();
    support::ResetRegistryFiles();
}
