// The folder thumbnail wizard's rules: the preview list and its sizes, the
// target-pixels field and its clamping, the name check and the Next rule.

#include "artwork/WizardControls.h"
#include "tests/artwork/WizardTestSupport.h"
#include "tests/common/DialogKeys.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

using namespace Qt::StringLiterals;
using namespace artwork;

namespace {

class ThumbnailWizardTest : public testing_support::WizardTest {};

// Choosing another entry of the preview list sets its size.
TEST_F(ThumbnailWizardTest, EachPreviewEntrySetsItsSize) {
    auto wizard = openThumbnails();
    SelectPosition(wizard->ListPreviews, 4);
    EXPECT_EQ(wizard->TargetPixels, 128);
    EXPECT_EQ(wizard->EditTargetPixels->text(), u"128"_s);
}

TEST_F(ThumbnailWizardTest, TheTargetFieldIsClampedAndMustSayWhatItHolds) {
    auto wizard = openThumbnails();
    wizard->ButNext()->click();
    EXPECT_EQ(wizard->focusWidget(), wizard->OptDeleteExisting[0]) << "the chosen overwrite option";
    EXPECT_TRUE(wizard->ButNext()->isEnabled());
    const QList<std::tuple<QString, int, bool>> cases{
        {u"300"_s, 256, false}, {u"-5"_s, 0, false},  {u"abc"_s, 0, false}, {u"99999"_s, 0, false},
        {u"128"_s, 128, true},  {u" 64"_s, 64, true}, {u"1"_s, 1, true},    {u"0"_s, 0, false},
    };
    for (const auto& [text, pixels, next] : cases) {
        wizard->EditTargetPixels->setText(text);
        EXPECT_EQ(wizard->TargetPixels, pixels) << text.toStdString();
        EXPECT_EQ(wizard->LabPixels->text(), u"x %1 pixels"_s.arg(pixels));
        EXPECT_EQ(wizard->ButNext()->isEnabled(), next) << text.toStdString();
    }
    // Another image choice: the size no longer matters.
    wizard->EditTargetPixels->setText(u"300"_s);
    wizard->OptThumbnailMultiple[1]->click();
    EXPECT_FALSE(wizard->EditTargetPixels->isEnabled());
    EXPECT_TRUE(wizard->ButNext()->isEnabled());
    EXPECT_EQ(wizard->ThumbnailMultipleImages, 1);
}

TEST_F(ThumbnailWizardTest, TheNameMustBeAFileName) {
    auto wizard = openThumbnails();
    wizard->ButNext()->click();
    for (const QString& bad : {u""_s, u"   "_s, u"a?b.jpg"_s, u"a/b"_s, u"a\\b"_s, u"c:d"_s,
                               u"*.jpg"_s, u"<x>"_s, u"a|b"_s, u"\"q\""_s}) {
        wizard->EditDifferentBaseExt->setText(bad);
        EXPECT_FALSE(wizard->ButNext()->isEnabled()) << bad.toStdString();
    }
    wizard->EditDifferentBaseExt->setText(u"  cover.jpg "_s);
    EXPECT_TRUE(wizard->ButNext()->isEnabled());
    wizard->OptDeleteExisting[1]->click();
    wizard->CheckHiddenSystem->setChecked(false);
    wizard->ButNext()->click();
    wizard->ButNext()->click();
    EXPECT_EQ(wizard->Result(), WizardForm::ResultGo);
    EXPECT_EQ(wizard->BaseExt, u"cover.jpg"_s);
    EXPECT_TRUE(wizard->DeleteExisting);
    EXPECT_FALSE(wizard->HiddenSystem);
    EXPECT_EQ(wizard->TargetPixels, 256);
}

// Tab into a group of options lands on the chosen one, not on the first, and
// Tab out of it leaves the group.
TEST_F(ThumbnailWizardTest, TabStopsAtTheChosenOptionOfEachGroup) {
    auto wizard = openThumbnails();
    wizard->OptDeleteExisting[1]->setChecked(true);
    wizard->OptThumbnailMultiple[3]->setChecked(true);
    wizard->show();
    wizard->ButNext()->click();
    const QList<QWidget*> stops = testing_support::FocusableControls(*wizard);
    EXPECT_TRUE(stops.contains(wizard->OptDeleteExisting[1]));
    EXPECT_FALSE(stops.contains(wizard->OptDeleteExisting[0]));
    EXPECT_TRUE(stops.contains(wizard->OptThumbnailMultiple[3]));
    for (int i : {1, 2, 4, 5})
        EXPECT_FALSE(stops.contains(wizard->OptThumbnailMultiple[size_t(i)])) << i;
}

} // namespace
