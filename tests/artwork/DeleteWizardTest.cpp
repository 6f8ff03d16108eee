// The Delete Artwork wizard's rules: the checked count, the refused tab,
// what the lists enable, the Next rule, and what Go! hands back.

#include "artwork/TargetSizes.h"
#include "artwork/WizardControls.h"
#include "tests/artwork/WizardTestSupport.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

using namespace Qt::StringLiterals;
using namespace artwork;

namespace {

class DeleteWizardTest : public testing_support::WizardTest {};

TEST_F(DeleteWizardTest, StepOneCountsTheCheckedSongs) {
    EXPECT_EQ(openDelete(4, 0)->LabSelCount->text(), u"You have no songs checked."_s);
    EXPECT_EQ(openDelete(4, 1)->LabSelCount->text(), u"You have 1 song checked."_s);
    EXPECT_EQ(openDelete(4, 1234)->LabSelCount->text(), u"You have 1234 songs checked."_s);
}

// The wizard refuses to run on the Ineligible tab, and says so when the list
// is in a state it does not know.
TEST_F(DeleteWizardTest, StepOneRefusesTheIneligibleTabAndAnUnknownState) {
    tab = 1;
    auto wizard = openDelete(1);
    wizard->show();
    EXPECT_FALSE(wizard->LabSelCount->isVisible()) << "hidden on the Ineligible tab";
    EXPECT_FALSE(wizard->ButNext()->isEnabled());
    EXPECT_TRUE(critical.isEmpty());
    tab = 0;
    wizard = openDelete(7);
    EXPECT_FALSE(wizard->ButNext()->isEnabled());
    ASSERT_FALSE(critical.isEmpty());
    EXPECT_EQ(critical.first(), u"Error! FormMain.ListMainStatus = else"_s);
}

TEST_F(DeleteWizardTest, TheListsAndTheTargetFollowTheChoices) {
    // Next waiting for a target size is tried in DownloadWizardTest.
    auto wizard = openDelete();
    wizard->ButNext()->click();

    // Which single and multiple rules need the target size.
    const std::tuple<int, int, bool> rules[] = {{1, 2, false}, {3, 2, true},  {4, 10, true},
                                                {4, 11, true}, {4, 12, true}, {1, 13, false}};
    for (const auto& [single, multiple, needed] : rules) {
        SelectPosition(wizard->ListSingleDelete, single);
        SelectPosition(wizard->ListMultipleDelete, multiple);
        EXPECT_EQ(wizard->ListTargetSizes->isEnabled(), needed) << single << ", " << multiple;
        EXPECT_EQ(wizard->LabListTargetSizes->isEnabled(), needed);
    }

    wizard->CheckDeleteEmbedded->setChecked(false);
    for (QWidget* control : std::initializer_list<QWidget*>{
             wizard->LabListSingleDelete, wizard->ListSingleDelete, wizard->LabListMultipleDelete,
             wizard->ListMultipleDelete, wizard->LabListTargetSizes, wizard->ListTargetSizes})
        EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
    EXPECT_FALSE(wizard->ButNext()->isEnabled()) << "neither box checked";
    wizard->CheckDeleteDownloaded->setChecked(true);
    EXPECT_TRUE(wizard->ButNext()->isEnabled());
}

TEST_F(DeleteWizardTest, GoHandsBackTheChoicesAndTheTargetArea) {
    auto wizard = openDelete();
    wizard->ButNext()->click();
    wizard->CheckDeleteDownloaded->setChecked(true);
    SelectPosition(wizard->ListSingleDelete, 2);
    SelectPosition(wizard->ListMultipleDelete, 6);
    SelectPosition(wizard->ListTargetSizes, 5); // "iPod video/5G (2005) -- 200 x 200"
    wizard->ButNext()->click();
    EXPECT_FALSE(wizard->CheckMakeBackups->isChecked());
    EXPECT_FALSE(wizard->CheckMakeBackups->isEnabled());
    wizard->ButNext()->click();
    EXPECT_EQ(wizard->Result(), WizardForm::ResultGo);
    EXPECT_TRUE(wizard->Choices.DeleteDownloaded);
    EXPECT_TRUE(wizard->Choices.DeleteEmbedded);
    EXPECT_EQ(wizard->Choices.SingleDelete, 2);
    EXPECT_EQ(wizard->Choices.MultipleDelete, 6);
    EXPECT_EQ(wizard->Choices.TargetXYProd, 200 * 200);
    EXPECT_FALSE(wizard->Choices.MakeBackups);
    EXPECT_EQ(LoadTargetSize(), u"iPod video/5G (2005) -- 200 x 200"_s);

    // A target chosen while no rule uses it is remembered but not applied.
    wizard = openDelete();
    wizard->ButNext()->click();
    SelectPosition(wizard->ListTargetSizes, 8); // "AppleTV -- 600 x 600"
    SelectPosition(wizard->ListMultipleDelete, 13);
    wizard->ButNext()->click();
    wizard->ButNext()->click();
    EXPECT_EQ(wizard->Choices.TargetXYProd, 0);
    EXPECT_EQ(LoadTargetSize(), u"AppleTV -- 600 x 600"_s);
}

TEST_F(DeleteWizardTest, OutOfRangeChoicesStartOnTheDefaults) {
    FormWizardDeleteArtwork wizard([] { return 4; }, [] { return 0; }, [](const QString&) {});
    wizard.Choices.SingleDelete = 9;
    wizard.Choices.MultipleDelete = 0;
    wizard.Init();
    EXPECT_EQ(SelectedPosition(wizard.ListSingleDelete), 1);
    EXPECT_EQ(SelectedPosition(wizard.ListMultipleDelete), 12);
}

} // namespace
