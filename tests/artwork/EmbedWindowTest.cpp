// Embed Artwork as the main window runs it, chosen from the Step 3 menu over
// the demonstration library; and the same run from quillmoth-cli giving the
// same songs.

#include "artwork/FormWizardEmbedArtwork.h"
#include "artwork/WizardControls.h"
#include "mainwindow/UcProgress.h"
#include "tests/artwork/WindowTestSupport.h"

#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

using namespace Qt::StringLiterals;
using namespace artwork;
namespace keys = mainwindow::keys;

namespace {

class EmbedWindowTest : public testing_support::DemoWindowTest {};

// The command-line twin runs the same code on the same library: the songs
// end the same, and it reports the same count.
TEST_F(EmbedWindowTest, TheWizardChangesTheCheckedSongsAsTheCommandLineDoes) {
    runner.play = [](QDialog& dialog) {
        auto& wizard = dynamic_cast<FormWizardEmbedArtwork&>(dialog);
        wizard.ButNext()->click();
        for (int row = 0; row < wizard.ListUse->count(); ++row)
            if (wizard.ListUse->item(row)->data(Qt::UserRole).toInt() == SourceLargest)
                SelectPosition(wizard.ListUse, row + 1);
        wizard.ButRemove->click();
        SelectPosition(wizard.ListTargetSizes, 5); // "iPod video/5G (2005) -- 200 x 200"
        wizard.OptDeleteDownloaded[1]->click();
        wizard.OptExistingEmbedded[2]->click();
        wizard.ButNext()->click();
        wizard.ButNext()->click();
    };
    expectTwinsAgree({{keys::EmbedArtwork,
                       {u"embed"_s, u"--sources"_s, u"1,2,3,4,5,6,7"_s, u"--target"_s, u"200"_s,
                        u"--existing"_s, u"2"_s, u"--delete-downloaded"_s}}});
    EXPECT_EQ(window->busy(), 0);
    // Rows stay; every row that was checked is now unchecked.
    const catalogue::SongList& eligible = window->session().Eligible;
    for (int row = 0; row < eligible.rowCount(); ++row)
        EXPECT_FALSE(eligible.model().isChecked(row)) << row;
    EXPECT_EQ(window->ProgressMain()->value(), window->ProgressMain()->max());
    EXPECT_FALSE(window->ProgressMain()->active());
}

} // namespace
