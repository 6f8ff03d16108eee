// The Delete Artwork wizard's rules: the checked count, page status, what
// the lists enable, the Next rule, and what Go! hands back.

#include "artwork/FormWizardDeleteArtwork.h"
#include "artwork/TargetSizes.h"
#include "artwork/WizardControls.h"
#include "support/Registry.h"
#include "tests/common/ListReadability.h"
#include "tests/common/TestFiles.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace artwork;

namespace {

class DeleteWizardTest : public ::testing::Test {
protected:
    void SetUp() override {
        support::SetRegistryFiles(
            {settings.file(u"user.json"_s), settings.file(u"machine.json"_s)});
    }
    void TearDown() override { support::ResetRegistryFiles(); }

    std::unique_ptr<FormWizardDeleteArtwork> open(int status = 4, int selCount = 3) {
        listStatus = status;
        auto wizard = std::make_unique<FormWizardDeleteArtwork>(
            [this] { return listStatus; }, [this] { return tab; },
            [this](const QString& text) { critical.append(text); });
        wizard->SelCount = selCount;
        wizard->Init();
        return wizard;
    }

    testing_support::TempFolder settings;
    int listStatus = 4;
    int tab = 0;
    QStringList critical;
};

TEST_F(DeleteWizardTest, StepOneCountsTheCheckedSongsAndSaysWhatTheListAllows) {
    EXPECT_EQ(open(4, 0)->LabSelCount->text(), u"You have no songs checked."_s);
    EXPECT_EQ(open(4, 1)->LabSelCount->text(), u"You have 1 song checked."_s);
    auto wizard = open(4, 1234);
    EXPECT_EQ(wizard->LabSelCount->text(), u"You have 1234 songs checked."_s);
    EXPECT_EQ(wizard->windowTitle(), u"Delete Artwork Wizard"_s);
    EXPECT_EQ(wizard->ButBack()->text(), u"<  &Back"_s);
    EXPECT_EQ(wizard->LabStep1NextStep->text(),
              u"Click Next to continue, or Cancel to exit the wizard."_s);
    EXPECT_TRUE(wizard->ButNext()->isEnabled());

    tab = 1;
    wizard = open(1);
    wizard->show();
    EXPECT_FALSE(wizard->LabSelCount->isVisible()) << "hidden on the Ineligible tab";
    EXPECT_TRUE(wizard->LabStep1Status->text().startsWith(
        u"This wizard cannot be run while the Ineligible Songs tab is selected."_s));
    EXPECT_FALSE(wizard->ButNext()->isEnabled());
    for (int status : {2, 3}) {
        EXPECT_FALSE(open(status)->ButNext()->isEnabled()) << status;
        EXPECT_EQ(open(status)->LabStep1NextStep->text(), u"Click Cancel to exit the wizard."_s);
    }
    EXPECT_TRUE(critical.isEmpty());
    wizard = open(7);
    EXPECT_FALSE(wizard->ButNext()->isEnabled());
    ASSERT_FALSE(critical.isEmpty());
    EXPECT_EQ(critical.first(), u"Error! FormMain.ListMainStatus = else"_s);
}

TEST_F(DeleteWizardTest, TheListsAndTheTargetFollowTheChoices) {
    auto wizard = open();
    wizard->ButNext()->click();
    EXPECT_EQ(wizard->LabStepDesc()->text(), u"Step 2: Options"_s);
    // The defaults: embedded on, single 1, multiple 12 (which needs a target).
    EXPECT_TRUE(wizard->CheckDeleteEmbedded->isChecked());
    EXPECT_FALSE(wizard->CheckDeleteDownloaded->isChecked());
    EXPECT_EQ(SelectedPosition(wizard->ListSingleDelete), 1);
    EXPECT_EQ(SelectedPosition(wizard->ListMultipleDelete), 12);
    EXPECT_TRUE(wizard->ListTargetSizes->isEnabled());
    EXPECT_FALSE(wizard->ButNext()->isEnabled()) << "no target size chosen";
    SelectPosition(wizard->ListTargetSizes, 1);
    EXPECT_TRUE(wizard->ButNext()->isEnabled());

    SelectPosition(wizard->ListMultipleDelete, 2);
    EXPECT_FALSE(wizard->ListTargetSizes->isEnabled());
    EXPECT_FALSE(wizard->LabListTargetSizes->isEnabled());
    SelectPosition(wizard->ListSingleDelete, 3);
    EXPECT_TRUE(wizard->ListTargetSizes->isEnabled()) << "larger than the target";
    for (int multiple : {10, 11, 12}) {
        SelectPosition(wizard->ListSingleDelete, 4);
        SelectPosition(wizard->ListMultipleDelete, multiple);
        EXPECT_TRUE(wizard->ListTargetSizes->isEnabled()) << multiple;
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
    auto wizard = open();
    wizard->ButNext()->click();
    wizard->CheckDeleteDownloaded->setChecked(true);
    SelectPosition(wizard->ListSingleDelete, 2);
    SelectPosition(wizard->ListMultipleDelete, 6);
    SelectPosition(wizard->ListTargetSizes, 5); // "iPod video/5G (2005) -- 200 x 200"
    wizard->ButNext()->click();
    EXPECT_EQ(wizard->ButNext()->text(), u"&Go!"_s);
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
    wizard = open();
    wizard->ButNext()->click();
    SelectPosition(wizard->ListTargetSizes, 8); // "AppleTV -- 600 x 600"
    SelectPosition(wizard->ListMultipleDelete, 13);
    wizard->ButNext()->click();
    wizard->ButNext()->click();
    EXPECT_EQ(wizard->Choices.TargetXYProd, 0);
    EXPECT_EQ(LoadTargetSize(), u"AppleTV -- 600 x 600"_s);
}

TEST_F(DeleteWizardTest, StoredTargetsAndOutOfRangeChoicesAreRestoredSensibly) {
    SaveTargetSize(u"  OTHER -- 480 X 480 "_s);
    auto wizard = std::make_unique<FormWizardDeleteArtwork>([] { return 4; }, [] { return 0; },
                                                            [](const QString&) {});
    wizard->Choices.SingleDelete = 9;
    wizard->Choices.MultipleDelete = 0;
    wizard->Init();
    EXPECT_EQ(SelectedPosition(wizard->ListSingleDelete), 1);
    EXPECT_EQ(SelectedPosition(wizard->ListMultipleDelete), 12);
    EXPECT_EQ(SelectedPosition(wizard->ListTargetSizes), 9);

    SaveTargetSize(u"Something else -- 320 x 320"_s);
    wizard = open();
    EXPECT_EQ(SelectedPosition(wizard->ListTargetSizes), 0);
}

TEST_F(DeleteWizardTest, TheKeyboardReachesEverythingAndTheCloseBoxIsRefused) {
    auto wizard = open();
    wizard->show();
    wizard->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(wizard.get()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(wizard->currentStep(), 2);
    const auto alt = [](Qt::Key key) {
        QTest::keyClick(QApplication::focusWidget(), key, Qt::AltModifier);
        QTest::qWait(150); // a button's & key clicks it a moment later
    };
    alt(Qt::Key_T);
    EXPECT_EQ(QApplication::focusWidget(), wizard->ListTargetSizes);
    QTest::keyClick(wizard->ListTargetSizes, Qt::Key_Down);
    alt(Qt::Key_M);
    EXPECT_EQ(QApplication::focusWidget(), wizard->ListMultipleDelete);
    alt(Qt::Key_O);
    EXPECT_EQ(QApplication::focusWidget(), wizard->ListSingleDelete);
    alt(Qt::Key_D);
    EXPECT_TRUE(wizard->CheckDeleteDownloaded->isChecked());
    const bool embedded = wizard->CheckDeleteEmbedded->isChecked();
    alt(Qt::Key_E);
    EXPECT_NE(wizard->CheckDeleteEmbedded->isChecked(), embedded);
    alt(Qt::Key_E);
    EXPECT_EQ(wizard->CheckDeleteEmbedded->isChecked(), embedded);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(wizard->currentStep(), 3);
    EXPECT_FALSE(wizard->close());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_EQ(wizard->Result(), WizardForm::ResultCancel);
}

TEST_F(DeleteWizardTest, EveryEntryOfEveryListReadsWhole) {
    auto wizard = open();
    wizard->show();
    wizard->ButNext()->click();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(wizard.get()));
    EXPECT_EQ(testing_support::CutListEntries(*wizard), QStringList());
}

} // namespace
