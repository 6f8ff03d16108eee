#pragma once

// The wizards as the main window opens them, on settings of the test's own:
// by their kind for the tests of their own rules, or by their name for the
// tests of what they all share.

#include "artwork/FormWizardCreateFolderJpg.h"
#include "artwork/FormWizardDeleteArtwork.h"
#include "artwork/FormWizardDownloads.h"
#include "artwork/FormWizardEmbedArtwork.h"
#include "support/Registry.h"
#include "tests/common/TestFiles.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace testing_support {

using namespace Qt::StringLiterals;

class WizardTest : public ::testing::Test {
protected:
    void SetUp() override {
        support::SetRegistryFiles(
            {settings.file(u"user.json"_s), settings.file(u"machine.json"_s)});
    }
    void TearDown() override { support::ResetRegistryFiles(); }

    std::unique_ptr<artwork::FormWizardEmbedArtwork> openEmbed(int status = 4) {
        return opened(std::make_unique<artwork::FormWizardEmbedArtwork>(list(status), order));
    }
    // selCount: how many songs the window counted as checked.
    std::unique_ptr<artwork::FormWizardDeleteArtwork> openDelete(int status = 4, int selCount = 3) {
        auto wizard = std::make_unique<artwork::FormWizardDeleteArtwork>(
            list(status), [this] { return tab; }, shown());
        wizard->SelCount = selCount;
        return opened(std::move(wizard));
    }
    std::unique_ptr<artwork::FormWizardCreateFolderJpg> openThumbnails(int status = 4) {
        return opened(std::make_unique<artwork::FormWizardCreateFolderJpg>(list(status), shown()));
    }
    // The wizard of that name (one of AllWizards).
    std::unique_ptr<artwork::WizardForm> open(const QString& name, int status = 4) {
        if (name == u"Embed"_s)
            return openEmbed(status);
        if (name == u"Delete"_s)
            return openDelete(status);
        if (name == u"Thumbnails"_s)
            return openThumbnails(status);
        if (name == u"Playlist"_s)
            return opened(std::make_unique<artwork::FormWizardCreatePlaylist>(list(status)));
        if (name == u"EmbedDownloaded"_s)
            return opened(
                std::make_unique<artwork::FormWizardEmbedDownloadedArtwork>(list(status)));
        return opened(std::make_unique<artwork::FormWizardGetAlbumArtwork>(list(status), u"500"_s));
    }

    inline static const QStringList AllWizards{u"Embed"_s,           u"Delete"_s,
                                               u"Thumbnails"_s,      u"Playlist"_s,
                                               u"EmbedDownloaded"_s, u"GetAlbumArtwork"_s};

    TempFolder settings;
    artwork::SourceOrder order;
    int tab = 0;          // the tab the window shows
    QStringList critical; // the error messages the wizard showed

private:
    static std::function<int()> list(int status) {
        return [status] { return status; };
    }
    std::function<void(const QString&)> shown() {
        return [this](const QString& text) { critical.append(text); };
    }
    template <class Wizard> static std::unique_ptr<Wizard> opened(std::unique_ptr<Wizard> wizard) {
        wizard->Init();
        return wizard;
    }
};

} // namespace testing_support
