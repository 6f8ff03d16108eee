// The Embed Artwork wizard's rules: the source lists, target sizes, the
// completeness rule, and what Go! and Cancel hand back.

#include "artwork/TargetSizes.h"
#include "artwork/WizardControls.h"
#include "tests/artwork/WizardTestSupport.h"

#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace artwork;

namespace {

class EmbedWizardTest : public testing_support::WizardTest {
protected:
    static QList<int> sources(const QListWidget* list) {
        QList<int> result;
        for (int row = 0; row < list->count(); ++row)
            result.append(list->item(row)->data(Qt::UserRole).toInt());
        return result;
    }
    static void doubleClick(QListWidget* list, int row) {
        const QPoint at = list->visualItemRect(list->item(row)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    }
};

TEST_F(EmbedWizardTest, ListButtonsFollowTheSelections) {
    auto wizard = openEmbed();
    wizard->show(); // the double clicks below need it on screen
    ASSERT_TRUE(QTest::qWaitForWindowExposed(wizard.get()));
    wizard->ButNext()->click();
    EXPECT_EQ(wizard->focusWidget(), wizard->ListUse);
    EXPECT_TRUE(wizard->ButBack()->isEnabled());
    // The list with the focus has its entry selected: Remove works at once.
    EXPECT_TRUE(wizard->ListUse->item(0)->isSelected());
    EXPECT_FALSE(wizard->ButAdd->isEnabled());
    EXPECT_TRUE(wizard->ButRemove->isEnabled());
    EXPECT_FALSE(wizard->ButMoveUp->isEnabled()) << "the first entry";
    EXPECT_TRUE(wizard->ButMoveDown->isEnabled());
    SelectPosition(wizard->ListUse, 8);
    EXPECT_TRUE(wizard->ButMoveUp->isEnabled());
    EXPECT_FALSE(wizard->ButMoveDown->isEnabled()) << "the last entry";

    wizard->ButMoveUp->click(); // the largest image one place higher, still selected
    EXPECT_EQ(wizard->ListUse->item(6)->data(Qt::UserRole).toInt(), SourceLargest);
    EXPECT_TRUE(wizard->ListUse->item(6)->isSelected());
    wizard->ButMoveDown->click();
    EXPECT_EQ(wizard->ListUse->item(7)->data(Qt::UserRole).toInt(), SourceLargest);

    // Double clicks move entries when the button would.
    SelectPosition(wizard->ListUse, 2);
    doubleClick(wizard->ListUse, 1);
    EXPECT_EQ(sources(wizard->ListAvailable), QList<int>{2});
    SelectPosition(wizard->ListAvailable, 1);
    EXPECT_TRUE(wizard->ButAdd->isEnabled());
    doubleClick(wizard->ListAvailable, 0);
    EXPECT_EQ(sources(wizard->ListUse).last(), 2) << "appended at the end";
    EXPECT_EQ(wizard->ListAvailable->count(), 0);
}

TEST_F(EmbedWizardTest, TheTargetSizeMattersOnlyWhileTheClosestImageIsInUse) {
    // Next waiting for a target size is tried in DownloadWizardTest.
    auto wizard = openEmbed();
    wizard->ButNext()->click();
    EXPECT_TRUE(wizard->ListTargetSizes->isEnabled());
    SelectPosition(wizard->ListUse, 1); // the image closest to the target size
    wizard->ButRemove->click();
    EXPECT_FALSE(wizard->ListTargetSizes->isEnabled());
    EXPECT_FALSE(wizard->LabListTargetSizes->isEnabled());
    EXPECT_TRUE(wizard->ButNext()->isEnabled()) << "then no target size is needed";

    while (wizard->ListUse->count() > 0) {
        SelectPosition(wizard->ListUse, 1);
        wizard->ButRemove->click();
    }
    EXPECT_FALSE(wizard->ButNext()->isEnabled()) << "no source at all";
    SelectPosition(wizard->ListAvailable, 1);
    wizard->ButAdd->click();
    EXPECT_TRUE(wizard->ListTargetSizes->isEnabled()) << "the closest image is back in use";
}

TEST_F(EmbedWizardTest, GoHandsBackTheChoicesAndRemembersTheTargetSize) {
    auto wizard = openEmbed();
    wizard->ButNext()->click();
    // Four sources in use, in a new order.
    for (int row : {7, 6, 5, 1}) {
        SelectPosition(wizard->ListUse, row + 1);
        wizard->ButRemove->click();
    }
    SelectPosition(wizard->ListUse, 3); // AlbumArtSmall.JPG
    wizard->ButMoveUp->click();
    SelectPosition(wizard->ListTargetSizes, 5); // "iPod video/5G (2005) -- 200 x 200"
    wizard->OptDeleteDownloaded[1]->click();
    wizard->OptExistingEmbedded[2]->click();
    wizard->ButNext()->click();
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

TEST_F(EmbedWizardTest, TheOpenersOptionsAreShownAndCancelKeepsTheDefaultOrder) {
    FormWizardEmbedArtwork wizard([] { return 4; }, order);
    wizard.DeleteDownloaded = true;
    wizard.ExistingEmbed = 3;
    wizard.Init();
    EXPECT_TRUE(wizard.OptDeleteDownloaded[1]->isChecked());
    EXPECT_TRUE(wizard.OptExistingEmbedded[3]->isChecked());
    wizard.ButNext()->click();
    SelectPosition(wizard.ListUse, 1);
    wizard.ButRemove->click();
    wizard.ButCancel()->click();
    EXPECT_EQ(wizard.Result(), WizardForm::ResultCancel);
    EXPECT_EQ(order.slot(1), 1) << "the source order changes only at Go!";
    EXPECT_TRUE(LoadTargetSize().isEmpty());
    wizard.Init();
    EXPECT_EQ(sources(wizard.ListUse), (QList<int>{1, 2, 3, 4, 5, 6, 7, 8}))
        << "every opening starts with every source in the default order";
    EXPECT_EQ(wizard.ListAvailable->count(), 0);
}

} // namespace
