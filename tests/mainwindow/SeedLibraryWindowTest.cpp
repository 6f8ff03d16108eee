#include "tests/mainwindow/SeedLibraryWindowTest.h"

#include "mainwindow/StartUp.h"
#include "musiclibrary/Library.h"
#include "support/Registry.h"

using namespace Qt::StringLiterals;

void SeedLibraryWindowTest::startWindow(const QList<SeedPlacement>& seeds) {
    support::SetRegistryFiles({settings.file(u"user.json"_s), settings.file(u"machine.json"_s)});
    for (const auto& [seed, placement] : seeds)
        library.copySeed(seed, placement);
    window = mainwindow::StartMainWindow(
        ui.services(), [this] { return musiclibrary::openLibrary(library.path(), {data.path()}); });
    ASSERT_TRUE(window);
}

void SeedLibraryWindowTest::TearDown() {
    window.reset();
    support::ResetRegistryFiles();
}
