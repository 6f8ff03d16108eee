#include "support/FormOptions.h"
#include "support/Registry.h"
#include "support/RegistryKeys.h"
#include "support/UpdateSettings.h"

#include "tests/common/DialogKeys.h"
#include "tests/common/ScriptedUi.h"
#include "tests/common/TestFiles.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace support;
using testing_support::ScriptedMessageBoxes;
using testing_support::ShowActive;
using testing_support::TempFolder;

namespace {

const QString InvalidFirstParagraph =
    u"Please specify how often Quillmoth should contact the Tarnwick web site in order to see if "
    u"an updated version of Quillmoth is available. (The recommended default value is 14 days.)"_s;
const QString InvalidUncheckedParagraph =
    u"The default value of 14 days will be used. If you would like to change it, you first will "
    u"need to check the check box titled 'Automatically check for new versions a few seconds "
    u"after starting Quillmoth'."_s;

class FormOptionsTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetRegistryFiles({temp.file(u"user.json"_s), temp.file(u"machine.json"_s)});
    }
    void TearDown() override { ResetRegistryFiles(); }

    static QString stored(const QString& value) {
        return RegGetString(Hive::CurrentUser, KEY_WISER_UPDATE, value);
    }
    static bool nothingStored() {
        return stored(VALUE_UPDATE_ENABLED).isEmpty() && stored(VALUE_UPDATE_CHECK_DAYS).isEmpty();
    }
    // The state a user leaves before pressing a button.
    void enter(FormOptions& dialog, bool checked, const QString& days) {
        dialog.CheckWiseUpdateEnabled()->setChecked(checked);
        dialog.EditWiseUpdateCheckDays()->setText(days);
    }
    bool daysEnabled(const FormOptions& dialog) const {
        const bool edit = dialog.EditWiseUpdateCheckDays()->isEnabled();
        EXPECT_EQ(dialog.LabEditWiseUpdateCheckDays(0)->isEnabled(), edit);
        EXPECT_EQ(dialog.LabEditWiseUpdateCheckDays(1)->isEnabled(), edit);
        return edit;
    }

    TempFolder temp;
    ScriptedMessageBoxes messages;
};

TEST_F(FormOptionsTest, InitShowsTheSettingsAndTheBoxEnablesTheDays) {
    {
        FormOptions dialog(messages);
        dialog.Init();
        EXPECT_TRUE(dialog.CheckWiseUpdateEnabled()->isChecked());
        EXPECT_EQ(dialog.EditWiseUpdateCheckDays()->text(), u"14"_s);
        EXPECT_TRUE(daysEnabled(dialog));
        dialog.CheckWiseUpdateEnabled()->click();
        EXPECT_FALSE(daysEnabled(dialog));
        dialog.CheckWiseUpdateEnabled()->click();
        EXPECT_TRUE(daysEnabled(dialog));
    }
    SetUpdateCheckEnabled(false);
    SetUpdateCheckDays(30);
    FormOptions dialog(messages);
    // Init sets the box to the state it already has: the days follow anyway.
    dialog.EditWiseUpdateCheckDays()->setEnabled(true);
    dialog.Init();
    EXPECT_FALSE(dialog.CheckWiseUpdateEnabled()->isChecked());
    EXPECT_EQ(dialog.EditWiseUpdateCheckDays()->text(), u"30"_s);
    EXPECT_FALSE(daysEnabled(dialog));
}

struct ValidCase {
    bool checked;
    const char16_t* entered;
    const char16_t* storedEnabled;
    const char16_t* storedDays;
};

class FormOptionsValidTest : public FormOptionsTest,
                             public ::testing::WithParamInterface<ValidCase> {};

TEST_P(FormOptionsValidTest, OkSavesBothSettingsAndCloses) {
    const ValidCase& c = GetParam();
    FormOptions dialog(messages);
    dialog.Init();
    ASSERT_TRUE(ShowActive(dialog));
    enter(dialog, c.checked, QString::fromUtf16(c.entered));
    QTest::mouseClick(dialog.ButOK(), Qt::LeftButton);
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_EQ(dialog.DialogResult(), FormOptions::ResultOk);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(stored(VALUE_UPDATE_ENABLED), QString::fromUtf16(c.storedEnabled));
    EXPECT_EQ(stored(VALUE_UPDATE_CHECK_DAYS), QString::fromUtf16(c.storedDays));
}

INSTANTIATE_TEST_SUITE_P(Entries, FormOptionsValidTest,
                         ::testing::Values(ValidCase{true, u"7", u"True", u"7"},
                                           ValidCase{false, u"  30 ", u"False", u"30"},
                                           ValidCase{true, u"0", u"True", u"0"},
                                           // Read as the settings read numbers.
                                           ValidCase{true, u"2.5", u"True", u"2"},
                                           ValidCase{true, u"+5", u"True", u"5"}));

struct InvalidCase {
    const char* name;
    const char16_t* entered;
    bool checked;
};

class FormOptionsInvalidTest : public FormOptionsTest,
                               public ::testing::WithParamInterface<InvalidCase> {};

TEST_P(FormOptionsInvalidTest, OkExplainsResetsTheDaysAndKeepsTheDialogOpen) {
    const InvalidCase& c = GetParam();
    FormOptions dialog(messages);
    dialog.Init();
    ASSERT_TRUE(ShowActive(dialog));
    enter(dialog, c.checked, QString::fromUtf16(c.entered));
    // The user presses OK from the other control than the one the focus
    // must go back to.
    (c.checked ? static_cast<QWidget*>(dialog.CheckWiseUpdateEnabled())
               : static_cast<QWidget*>(dialog.ButCancel()))
        ->setFocus();
    QTest::mouseClick(dialog.ButOK(), Qt::LeftButton);

    ASSERT_EQ(messages.shown.size(), 1);
    const QString expected = c.checked
                                 ? InvalidFirstParagraph
                                 : InvalidFirstParagraph + u"\n\n"_s + InvalidUncheckedParagraph;
    EXPECT_EQ(messages.shown[0].text, expected);
    EXPECT_EQ(messages.shown[0].buttons, MbOk);
    EXPECT_EQ(messages.shown[0].icon, MbExclamation);
    EXPECT_EQ(dialog.EditWiseUpdateCheckDays()->text(), u"14"_s);
    QWidget* focus = c.checked ? static_cast<QWidget*>(dialog.EditWiseUpdateCheckDays())
                               : static_cast<QWidget*>(dialog.CheckWiseUpdateEnabled());
    EXPECT_EQ(QApplication::focusWidget(), focus);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.DialogResult(), FormOptions::ResultNone);
    EXPECT_TRUE(nothingStored());

    // The 14 put in its place is valid: OK now saves it.
    QTest::mouseClick(dialog.ButOK(), Qt::LeftButton);
    EXPECT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(stored(VALUE_UPDATE_CHECK_DAYS), u"14"_s);
    EXPECT_EQ(dialog.DialogResult(), FormOptions::ResultOk);
}

INSTANTIATE_TEST_SUITE_P(Entries, FormOptionsInvalidTest,
                         ::testing::Values(InvalidCase{"EmptyChecked", u"", true},
                                           InvalidCase{"EmptyUnchecked", u"", false},
                                           InvalidCase{"BlanksChecked", u"   ", true},
                                           InvalidCase{"NegativeChecked", u"-1", true},
                                           InvalidCase{"NegativeUnchecked", u"-30", false},
                                           InvalidCase{"WordChecked", u"abc", true},
                                           InvalidCase{"WordUnchecked", u"two weeks", false},
                                           InvalidCase{"TrailingLettersChecked", u"14d", true},
                                           InvalidCase{"TooLargeChecked", u"99999999999", true}),
                         [](const ::testing::TestParamInfo<InvalidCase>& info) {
                             return info.param.name;
                         });

enum class Leaving { CancelButton, EscapeKey, CloseBox };

class FormOptionsCancelTest : public FormOptionsTest,
                              public ::testing::WithParamInterface<Leaving> {};

TEST_P(FormOptionsCancelTest, SavesNothing) {
    FormOptions dialog(messages);
    dialog.Init();
    ASSERT_TRUE(ShowActive(dialog));
    enter(dialog, false, u"3"_s);
    switch (GetParam()) {
    case Leaving::CancelButton:
        QTest::mouseClick(dialog.ButCancel(), Qt::LeftButton);
        break;
    case Leaving::EscapeKey:
        testing_support::PressOnFocus(dialog, Qt::Key_Escape);
        break;
    case Leaving::CloseBox:
        dialog.close();
        break;
    }
    EXPECT_EQ(dialog.DialogResult(), FormOptions::ResultCancel);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(nothingStored());
    EXPECT_TRUE(messages.shown.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Ways, FormOptionsCancelTest,
                         ::testing::Values(Leaving::CancelButton, Leaving::EscapeKey,
                                           Leaving::CloseBox),
                         [](const ::testing::TestParamInfo<Leaving>& info) {
                             switch (info.param) {
                             case Leaving::CancelButton:
                                 return "CancelButton";
                             case Leaving::EscapeKey:
                                 return "EscapeKey";
                             case Leaving::CloseBox:
                                 return "CloseBox";
                             }
                             return "Unknown";
                         });

// Return presses OK and Escape Cancel wherever the focus is.
TEST_F(FormOptionsTest, ReturnAndEscapeFromEveryControl) {
    FormOptions probe(messages);
    probe.Init();
    ASSERT_TRUE(ShowActive(probe));
    const int controls = static_cast<int>(testing_support::FocusableControls(probe).size());
    ASSERT_EQ(controls, 4) << "check box, days, OK, Cancel";
    probe.reject();
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
        for (int index = 0; index < controls; ++index) {
            FormOptions dialog(messages);
            dialog.Init();
            ASSERT_TRUE(ShowActive(dialog));
            QWidget* control = testing_support::FocusableControls(dialog).at(index);
            SCOPED_TRACE(::testing::Message()
                         << control->objectName().toStdString() << " key " << key);
            control->setFocus(Qt::TabFocusReason);
            ASSERT_EQ(QApplication::focusWidget(), control);
            testing_support::PressOnFocus(dialog, key);
            EXPECT_EQ(dialog.DialogResult(),
                      key == Qt::Key_Escape ? FormOptions::ResultCancel : FormOptions::ResultOk);
            EXPECT_FALSE(dialog.isVisible());
        }
    }
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(FormOptionsTest, AccessKeysReachTheCheckBoxAndTheDays) {
    FormOptions dialog(messages);
    dialog.Init();
    ASSERT_TRUE(ShowActive(dialog));
    dialog.ButOK()->setFocus();
    EXPECT_EQ(dialog.LabEditWiseUpdateCheckDays(0)->buddy(), dialog.EditWiseUpdateCheckDays());
    QTest::keyClick(&dialog, Qt::Key_N, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), dialog.EditWiseUpdateCheckDays());

    QTest::keyClick(&dialog, Qt::Key_V, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), dialog.CheckWiseUpdateEnabled());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !dialog.CheckWiseUpdateEnabled()->isChecked(); }));
    EXPECT_FALSE(daysEnabled(dialog));
}

} // namespace
