// The Embed Artwork wizard's rules: page status, source lists, target
// sizes, the completeness rule, what Go! hands back, and the keyboard.

#include "artwork/FormWizardEmbedArtwork.h"
#include "artwork/TargetSizes.h"
#include "support/Registry.h"
#include "tests/common/TestFiles.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace artwork;

namespace {

class EmbedWizardTest : public ::testing::Test {
protected:
    void SetUp() override {
        support::SetRegistryFiles(
            {settings.file(u"user.json"_s), settings.file(u"machine.json"_s)});
    }
    void TearDown() override { support::ResetRegistryFiles(); }

    std::unique_ptr<FormWizardEmbedArtwork> open(int status = 4) {
        listStatus = status;
        auto wizard =
            std::make_unique<FormWizardEmbedArtwork>([this] { return listStatus; }, order);
        wizard->Init();
        return wizard;
    }
    static QStringList texts(const QListWidget* list) {
        QStringList result;
        for (int row = 0; row < list->count(); ++row)
            result.append(list->item(row)->text());
        return result;
    }
    static void select(QListWidget* list, int row) {
        list->setCurrentRow(row);
        list->item(row)->setSelected(true);
    }

    testing_support::TempFolder settings;
    SourceOrder order;
    int listStatus = 4;
};

TEST_F(EmbedWizardTest, PageOneSaysWhatTheListAllows) {
    const QList<std::tuple<int, QString, QString, bool>> cases{
        {1,
         u"Please choose the Eligible Songs tab, and review the check marked songs before running "
         u"this wizard."_s,
         u"Click Cancel to exit the wizard."_s, false},
        {2, u"Please click the Step 1: Scan iTunes button before running this wizard."_s,
         u"Click Cancel to exit the wizard."_s, false},
        {3, u"Please place a check mark by at least one song before running this wizard."_s,
         u"Click Cancel to exit the wizard."_s, false},
        {4,
         u"Please be sure that you have reviewed the check marked songs on the Eligible Songs tab "
         u"before running this wizard."_s,
         u"Click Next to continue, or Cancel to exit the wizard."_s, true},
    };
    for (const auto& [status, text, next, enabled] : cases) {
        auto wizard = open(status);
        EXPECT_EQ(wizard->windowTitle(), u"Embed Artwork (Advanced) Wizard"_s);
        EXPECT_EQ(wizard->LabStepDesc()->text(), u"Step 1: Welcome"_s);
        EXPECT_EQ(wizard->LabStep1Status->text(), text);
        EXPECT_EQ(wizard->LabStep1NextStep->text(), next);
        EXPECT_EQ(wizard->ButNext()->isEnabled(), enabled) << status;
        EXPECT_EQ(wizard->ButNext()->text(), u"&Next  >"_s);
        EXPECT_FALSE(wizard->ButBack()->isEnabled());
        EXPECT_EQ(wizard->focusWidget(),
                  enabled ? static_cast<QWidget*>(wizard->ButNext()) : wizard->ButCancel());
    }
}

TEST_F(EmbedWizardTest, SourcesStartInUseInTheDefaultOrderAtEveryOpening) {
    auto wizard = open();
    const QStringList all{u"Image closest to target size (below)"_s,
                          u"Downloaded by iTunes"_s,
                          u"Folder.JPG"_s,
                          u"AlbumArtSmall.JPG"_s,
                          u"AlbumArt_{WmpId}_Small.JPG"_s,
                          u"AlbumArt_{WmpId}_Large.JPG"_s,
                          u"Smallest image"_s,
                          u"Largest image"_s};
    EXPECT_EQ(texts(wizard->ListUse), all);
    EXPECT_EQ(wizard->ListAvailable->count(), 0);
    for (int row = 0; row < 8; ++row)
        EXPECT_EQ(wizard->ListUse->item(row)->data(Qt::UserRole).toInt(), row + 1);
    wizard->ButNext()->click();
    select(wizard->ListUse, 2);
    wizard->ButRemove->click();
    EXPECT_EQ(texts(wizard->ListAvailable), QStringList{u"Folder.JPG"_s});
    wizard->Init();
    EXPECT_EQ(texts(wizard->ListUse), all) << "the order is not remembered";
}

TEST_F(EmbedWizardTest, ListButtonsFollowTheSelections) {
    auto wizard = open();
    wizard->show(); // the double clicks below need it on screen
    ASSERT_TRUE(QTest::qWaitForWindowExposed(wizard.get()));
    wizard->ButNext()->click();
    EXPECT_EQ(wizard->LabStepDesc()->text(), u"Step 2: Options"_s);
    EXPECT_EQ(wizard->focusWidget(), wizard->ListUse);
    EXPECT_TRUE(wizard->ButBack()->isEnabled());
    // The list with the focus has its entry selected: Remove works at once.
    EXPECT_TRUE(wizard->ListUse->item(0)->isSelected());
    EXPECT_FALSE(wizard->ButAdd->isEnabled());
    EXPECT_TRUE(wizard->ButRemove->isEnabled());
    EXPECT_FALSE(wizard->ButMoveUp->isEnabled());
    EXPECT_TRUE(wizard->ButMoveDown->isEnabled());

    select(wizard->ListUse, 0);
    EXPECT_TRUE(wizard->ButRemove->isEnabled());
    EXPECT_FALSE(wizard->ButMoveUp->isEnabled()) << "the first entry";
    EXPECT_TRUE(wizard->ButMoveDown->isEnabled());
    select(wizard->ListUse, 7);
    EXPECT_TRUE(wizard->ButMoveUp->isEnabled());
    EXPECT_FALSE(wizard->ButMoveDown->isEnabled()) << "the last entry";

    wizard->ButMoveUp->click(); // "Largest image" one place higher, still selected
    EXPECT_EQ(wizard->ListUse->item(6)->text(), u"Largest image"_s);
    EXPECT_TRUE(wizard->ListUse->item(6)->isSelected());
    wizard->ButMoveDown->click();
    EXPECT_EQ(wizard->ListUse->item(7)->text(), u"Largest image"_s);

    // Double clicks move entries when the button would.
    select(wizard->ListUse, 1);
    const QRect first = wizard->ListUse->visualItemRect(wizard->ListUse->item(1));
    QTest::mouseClick(wizard->ListUse->viewport(), Qt::LeftButton, {}, first.center());
    QTest::mouseDClick(wizard->ListUse->viewport(), Qt::LeftButton, {}, first.center());
    EXPECT_EQ(texts(wizard->ListAvailable), QStringList{u"Downloaded by iTunes"_s});
    select(wizard->ListAvailable, 0);
    EXPECT_TRUE(wizard->ButAdd->isEnabled());
    const QRect back = wizard->ListAvailable->visualItemRect(wizard->ListAvailable->item(0));
    QTest::mouseClick(wizard->ListAvailable->viewport(), Qt::LeftButton, {}, back.center());
    QTest::mouseDClick(wizard->ListAvailable->viewport(), Qt::LeftButton, {}, back.center());
    EXPECT_EQ(wizard->ListUse->item(7)->text(), u"Downloaded by iTunes"_s) << "appended at the end";
    EXPECT_EQ(wizard->ListAvailable->count(), 0);
}

TEST_F(EmbedWizardTest, TheTargetSizeMattersOnlyWhileTheClosestImageIsInUse) {
    auto wizard = open();
    wizard->ButNext()->click();
    EXPECT_TRUE(wizard->ListTargetSizes->isEnabled());
    EXPECT_FALSE(wizard->ButNext()->isEnabled()) << "no target size chosen yet";
    select(wizard->ListTargetSizes, 4);
    EXPECT_TRUE(wizard->ButNext()->isEnabled());
    wizard->ListTargetSizes->clearSelection();

    select(wizard->ListUse, 0); // "Image closest to target size (below)"
    wizard->ButRemove->click();
    EXPECT_FALSE(wizard->ListTargetSizes->isEnabled());
    EXPECT_FALSE(wizard->LabListTargetSizes->isEnabled());
    EXPECT_TRUE(wizard->ButNext()->isEnabled()) << "then no target size is needed";

    while (wizard->ListUse->count() > 0) {
        select(wizard->ListUse, 0);
        wizard->ButRemove->click();
    }
    EXPECT_FALSE(wizard->ButNext()->isEnabled()) << "no source at all";
    select(wizard->ListAvailable, 0);
    wizard->ButAdd->click();
    EXPECT_TRUE(wizard->ListTargetSizes->isEnabled()) << "the closest image is back in use";
}

TEST_F(EmbedWizardTest, GoHandsBackTheChoicesAndRemembersTheTargetSize) {
    auto wizard = open();
    wizard->ButNext()->click();
    // Four sources in use, in a new order.
    for (int row : {7, 6, 5, 1}) {
        select(wizard->ListUse, row);
        wizard->ButRemove->click();
    }
    select(wizard->ListUse, 2); // AlbumArtSmall.JPG
    wizard->ButMoveUp->click();
    select(wizard->ListTargetSizes, 4); // "iPod video/5G (2005) -- 200 x 200"
    wizard->OptDeleteDownloaded[1]->click();
    wizard->OptExistingEmbedded[2]->click();
    EXPECT_EQ(wizard->ExistingEmbed, 2);
    wizard->ButNext()->click();
    EXPECT_EQ(wizard->LabStepDesc()->text(), u"Step 3: Ready"_s);
    EXPECT_EQ(wizard->ButNext()->text(), u"&Go!"_s);
    EXPECT_EQ(wizard->focusWidget(), wizard->ButNext());
    wizard->ButNext()->click();

    EXPECT_EQ(wizard->Result(), WizardForm::ResultGo);
    EXPECT_EQ(wizard->TargetPixels, 200);
    EXPECT_TRUE(wizard->DeleteDownloaded);
    EXPECT_EQ(wizard->ExistingEmbed, 2);
    const QList<int32_t> expected{1, 4, 3, 5, 0, 0, 0, 0};
    for (int slot = 1; slot <= 8; ++slot)
        EXPECT_EQ(order.slot(slot), expected[slot - 1]) << slot;
    EXPECT_EQ(LoadTargetSize(), u"iPod video/5G (2005) -- 200 x 200"_s);
}

TEST_F(EmbedWizardTest, TheRememberedTargetSizeIsFoundWhateverItsCaseAndBlanks) {
    SaveTargetSize(u"x"_s);
    support::RegSetString(support::Hive::CurrentUser, u"Software\\Tarnwick\\Quillmoth"_s,
                          u"TargetSize"_s, u"  appletv -- 600 X 600  "_s);
    auto wizard = open();
    ASSERT_EQ(wizard->ListTargetSizes->selectedItems().size(), 1);
    EXPECT_EQ(wizard->ListTargetSizes->selectedItems()[0]->text(), u"AppleTV -- 600 x 600"_s);

    SaveTargetSize(u"Some other device -- 320 x 320"_s);
    wizard = open();
    EXPECT_TRUE(wizard->ListTargetSizes->selectedItems().isEmpty());
    wizard->ButNext()->click();
    EXPECT_FALSE(wizard->ButNext()->isEnabled());
}

TEST_F(EmbedWizardTest, TheOpenersOptionsAreShownAndCancelChangesNothing) {
    listStatus = 4;
    FormWizardEmbedArtwork wizard([this] { return listStatus; }, order);
    wizard.DeleteDownloaded = true;
    wizard.ExistingEmbed = 3;
    wizard.Init();
    EXPECT_TRUE(wizard.OptDeleteDownloaded[1]->isChecked());
    EXPECT_TRUE(wizard.OptExistingEmbedded[3]->isChecked());
    wizard.ButNext()->click();
    select(wizard.ListUse, 0);
    wizard.ButRemove->click();
    wizard.ButCancel()->click();
    EXPECT_EQ(wizard.Result(), WizardForm::ResultCancel);
    EXPECT_EQ(order.slot(1), 1) << "the source order changes only at Go!";
    EXPECT_TRUE(LoadTargetSize().isEmpty());
}

// A key as the user types it, to whatever has the focus. A button's & key
// presses it as a short animation: its click comes a moment later.
void altKey(Qt::Key key) {
    QTest::keyClick(QApplication::focusWidget(), key, Qt::AltModifier);
    QTest::qWait(150);
}

// Return presses the default button, Escape is Cancel, the close box is
// refused, and every & key reaches its control.
TEST_F(EmbedWizardTest, EverythingWorksFromTheKeyboard) {
    auto wizard = open();
    wizard->show();
    wizard->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(wizard.get()));

    QTest::keyClick(wizard->focusWidget(), Qt::Key_Return);
    EXPECT_EQ(wizard->currentStep(), 2);
    altKey(Qt::Key_T);
    EXPECT_EQ(QApplication::focusWidget(), wizard->ListTargetSizes);
    QTest::keyClick(wizard->ListTargetSizes, Qt::Key_Down);
    EXPECT_EQ(wizard->ListTargetSizes->selectedItems().size(), 1);
    altKey(Qt::Key_S);
    EXPECT_EQ(QApplication::focusWidget(), wizard->ListAvailable);
    altKey(Qt::Key_C);
    EXPECT_EQ(QApplication::focusWidget(), wizard->ListUse);
    altKey(Qt::Key_X);
    EXPECT_TRUE(wizard->OptExistingEmbedded[2]->isChecked());
    altKey(Qt::Key_E);
    EXPECT_TRUE(wizard->OptDeleteDownloaded[1]->isChecked());
    altKey(Qt::Key_B);
    EXPECT_EQ(wizard->currentStep(), 1);
    altKey(Qt::Key_N);
    EXPECT_EQ(wizard->currentStep(), 2);
    // Return goes to the default button even from a list.
    wizard->ListUse->setFocus();
    QTest::keyClick(wizard->ListUse, Qt::Key_Return);
    EXPECT_EQ(wizard->currentStep(), 3);

    EXPECT_FALSE(wizard->close()) << "the close box is refused";
    EXPECT_TRUE(wizard->isVisible());
    QTest::keyClick(wizard->focusWidget(), Qt::Key_Escape);
    EXPECT_EQ(wizard->Result(), WizardForm::ResultCancel);
    EXPECT_FALSE(wizard->isVisible());
}

} // namespace
