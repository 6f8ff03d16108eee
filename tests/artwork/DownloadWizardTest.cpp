// What every wizard shares: Next only on a list that allows the run, the
// keyboard (& keys, Return for the default button, Escape for Cancel, the
// refused close box), entries that read whole; and the one-page wizards of
// downloaded artwork.

#include "artwork/TargetSizes.h"
#include "support/RegistryKeys.h"
#include "tests/artwork/WizardTestSupport.h"
#include "tests/common/DialogKeys.h"
#include "tests/common/ListReadability.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeySequence>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace artwork;

namespace {

class EveryWizardTest : public testing_support::WizardTest {};

// Only a reviewed list with checked songs lets the user on; else the focus
// waits on Cancel, and each state says something of its own.
TEST_F(EveryWizardTest, NextOnlyWhenTheListAllowsTheRun) {
    for (const QString& name : AllWizards) {
        SCOPED_TRACE(name.toStdString());
        QSet<QString> said;
        for (int status = 1; status <= 4; ++status) {
            const std::unique_ptr<WizardForm> wizard = open(name, status);
            EXPECT_EQ(wizard->ButNext()->isEnabled(), status == 4) << status;
            EXPECT_EQ(wizard->focusWidget(), status == 4 ? wizard->ButNext() : wizard->ButCancel());
            EXPECT_FALSE(wizard->ButBack()->isEnabled());
            EXPECT_EQ(wizard->ButBack()->isVisibleTo(wizard.get()), wizard->stepCount() > 1);
            said.insert(wizard->findChild<QLabel*>(u"LabStep1Status"_s)->text());
        }
        EXPECT_EQ(said.size(), 4);
    }
}

// A key the user presses and what it must do: move the focus to a control,
// check or uncheck an option, show a step or end the wizard.
struct Press {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers = Qt::AltModifier;
    QString focus = {};
    QString option = {};
    bool checked = true;
    int step = 0;
    int32_t result = WizardForm::ResultNone;
};

void expectPressed(WizardForm& wizard, const Press& press) {
    QTest::keyClick(QApplication::focusWidget(), press.key, press.modifiers);
    if (press.modifiers)
        QTest::qWait(150); // a button's & key clicks it a moment later
    if (!press.focus.isEmpty()) {
        const QWidget* focus = QApplication::focusWidget();
        EXPECT_EQ(focus ? focus->objectName().toStdString() : "", press.focus.toStdString());
    }
    if (!press.option.isEmpty()) {
        const auto* option = wizard.findChild<QAbstractButton*>(press.option);
        ASSERT_NE(option, nullptr);
        EXPECT_EQ(option->isChecked(), press.checked) << press.option.toStdString();
    }
    if (press.step) {
        EXPECT_EQ(wizard.currentStep(), press.step);
    }
    EXPECT_EQ(wizard.Result(), press.result);
    EXPECT_EQ(wizard.isVisible(), press.result == WizardForm::ResultNone);
}

// Every & key reaches its control, Return presses the default button even
// from a list, Escape is Cancel, and the close box is refused.
TEST_F(EveryWizardTest, EveryWizardWorksFromTheKeyboard) {
    const Qt::KeyboardModifiers none = Qt::NoModifier;
    const QList<std::pair<QString, QList<Press>>> scripts{
        {u"Embed"_s,
         {{.key = Qt::Key_Return, .modifiers = none, .step = 2},
          {.key = Qt::Key_T, .focus = u"ListTargetSizes"_s},
          {.key = Qt::Key_Down, .modifiers = none},
          {.key = Qt::Key_S, .focus = u"ListAvailable"_s},
          {.key = Qt::Key_C, .focus = u"ListUse"_s},
          {.key = Qt::Key_X, .option = u"OptExistingEmbedded2"_s},
          {.key = Qt::Key_E, .option = u"OptDeleteDownloaded1"_s},
          {.key = Qt::Key_B, .step = 1},
          {.key = Qt::Key_N, .focus = u"ListUse"_s, .step = 2},
          {.key = Qt::Key_Return, .modifiers = none, .step = 3}}},
        {u"Delete"_s,
         {{.key = Qt::Key_Return, .modifiers = none, .step = 2},
          {.key = Qt::Key_T, .focus = u"ListTargetSizes"_s},
          {.key = Qt::Key_Down, .modifiers = none},
          {.key = Qt::Key_M, .focus = u"ListMultipleDelete"_s},
          {.key = Qt::Key_O, .focus = u"ListSingleDelete"_s},
          {.key = Qt::Key_D, .option = u"CheckDeleteDownloaded"_s},
          {.key = Qt::Key_E, .option = u"CheckDeleteEmbedded"_s, .checked = false},
          {.key = Qt::Key_Return, .modifiers = none, .step = 3}}},
        {u"Thumbnails"_s,
         {{.key = Qt::Key_Return, .modifiers = none, .step = 2},
          {.key = Qt::Key_T, .focus = u"EditDifferentBaseExt"_s},
          {.key = Qt::Key_O, .option = u"OptDeleteExisting1"_s},
          {.key = Qt::Key_L, .option = u"OptThumbnailMultiple2"_s},
          {.key = Qt::Key_P, .focus = u"ListPreviews"_s},
          {.key = Qt::Key_B, .step = 1}}},
        {u"Playlist"_s,
         {{.key = Qt::Key_Return, .modifiers = none, .result = WizardForm::ResultGo}}},
        {u"EmbedDownloaded"_s,
         {{.key = Qt::Key_Return, .modifiers = none, .result = WizardForm::ResultGo}}},
        {u"GetAlbumArtwork"_s,
         {{.key = Qt::Key_O, .option = u"OptSize3"_s},
          {.key = Qt::Key_2, .option = u"OptSize0"_s},
          {.key = Qt::Key_1, .option = u"OptSize2"_s},
          {.key = Qt::Key_Return, .modifiers = none, .result = WizardForm::ResultGo}}},
    };
    ASSERT_EQ(scripts.size(), AllWizards.size());
    for (const auto& [name, presses] : scripts) {
        SCOPED_TRACE(name.toStdString());
        std::unique_ptr<WizardForm> wizard = open(name);
        ASSERT_TRUE(testing_support::ShowActive(*wizard));
        EXPECT_FALSE(wizard->close()) << "the close box is refused";
        for (const Press& press : presses) {
            SCOPED_TRACE(QKeySequence(press.key).toString().toStdString());
            expectPressed(*wizard, press);
        }
        wizard = open(name);
        ASSERT_TRUE(testing_support::ShowActive(*wizard));
        expectPressed(
            *wizard,
            {.key = Qt::Key_Escape, .modifiers = none, .result = WizardForm::ResultCancel});
    }
}

TEST_F(EveryWizardTest, EveryEntryOfEveryListReadsWhole) {
    for (const QString& name : {u"Embed"_s, u"Delete"_s, u"Thumbnails"_s}) {
        SCOPED_TRACE(name.toStdString());
        const std::unique_ptr<WizardForm> wizard = open(name);
        wizard->show();
        wizard->ButNext()->click();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(wizard.get()));
        EXPECT_EQ(testing_support::CutListEntries(*wizard), QStringList());
    }
}

// The stored target size is found whatever its case and blanks; one no
// longer offered selects nothing, and Next waits for a choice.
TEST_F(EveryWizardTest, TheStoredTargetSizeIsFoundWhateverItsCaseAndBlanks) {
    for (const QString& name : {u"Embed"_s, u"Delete"_s}) {
        SCOPED_TRACE(name.toStdString());
        support::RegSetString(support::Hive::CurrentUser, support::KEY_QUILLMOTH,
                              support::VALUE_TARGET_SIZE, u"  appletv -- 600 X 600  "_s);
        std::unique_ptr<WizardForm> wizard = open(name);
        QList<QListWidgetItem*> chosen =
            wizard->findChild<QListWidget*>(u"ListTargetSizes"_s)->selectedItems();
        ASSERT_EQ(chosen.size(), 1);
        EXPECT_EQ(chosen[0]->text(), u"AppleTV -- 600 x 600"_s);

        SaveTargetSize(u"Some other device -- 320 x 320"_s);
        wizard = open(name);
        chosen = wizard->findChild<QListWidget*>(u"ListTargetSizes"_s)->selectedItems();
        EXPECT_TRUE(chosen.isEmpty());
        wizard->ButNext()->click();
        EXPECT_FALSE(wizard->ButNext()->isEnabled());
    }
}

TEST(DownloadWizards, GetAlbumArtworkStartsOnTheStoredSize) {
    FormWizardGetAlbumArtwork wizard([] { return 4; }, u"1200"_s);
    wizard.Init();
    EXPECT_TRUE(wizard.OptSize[2]->isChecked());
    EXPECT_EQ(wizard.Size(), u"1200"_s);

    FormWizardGetAlbumArtwork unknown([] { return 4; }, u"giant"_s);
    unknown.Init();
    EXPECT_EQ(unknown.Size(), u"500"_s) << "an unknown stored size starts on the default";
}

} // namespace
