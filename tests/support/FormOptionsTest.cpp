#include "support/FormOptions.h"
#include "support/Registry.h"
#include "support/RegistryKeys.h"
#include "support/UpdateSettings.h"

#include "tests/common/DialogKeys.h"
#include "tests/common/ScriptedUi.h"
#include "tests/support/PrivateRegistry.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <utility>

using namespace Qt::StringLiterals;
using namespace support;
using testing_support::ScriptedMessageBoxes;
using testing_support::ShowActive;

namespace {

class FormOptionsTest : public testing_support::PrivateRegistryTest {
protected:
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

    ScriptedMessageBoxes messages;
};

TEST_F(FormOptionsTest, InitShowsTheSettingsAndTheBoxEnablesTheDays) {
    SetUpdateCheckEnabled(false);
    SetUpdateCheckDays(30);
    FormOptions dialog(messages);
    // Init sets the box to the state it already has: the days follow anyway.
    dialog.EditWiseUpdateCheckDays()->setEnabled(true);
    dialog.Init();
    EXPECT_FALSE(dialog.CheckWiseUpdateEnabled()->isChecked());
    EXPECT_EQ(dialog.EditWiseUpdateCheckDays()->text(), u"30"_s);
    EXPECT_FALSE(daysEnabled(dialog));
    dialog.CheckWiseUpdateEnabled()->click();
    EXPECT_TRUE(daysEnabled(dialog));
}

TEST_F(FormOptionsTest, OkSavesBothSettingsAndCloses) {
    const struct {
        bool checked;
        const char16_t* entered;
        const char16_t* storedEnabled;
        const char16_t* storedDays;
    } cases[] = {{true, u"7", u"True", u"7"},
                 {false, u"  30 ", u"False", u"30"},
                 {true, u"0", u"True", u"0"},
                 // Read as the settings read numbers.
                 {true, u"2.5", u"True", u"2"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.entered).toStdString());
        FormOptions dialog(messages);
        dialog.Init();
        ASSERT_TRUE(ShowActive(dialog));
        enter(dialog, c.checked, QString::fromUtf16(c.entered));
        QTest::mouseClick(dialog.ButOK(), Qt::LeftButton);
        EXPECT_EQ(dialog.DialogResult(), FormOptions::ResultOk);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(stored(VALUE_UPDATE_ENABLED), QString::fromUtf16(c.storedEnabled));
        EXPECT_EQ(stored(VALUE_UPDATE_CHECK_DAYS), QString::fromUtf16(c.storedDays));
    }
    EXPECT_TRUE(messages.shown.isEmpty());
}

// Days that are no number of days are explained, put back to 14 and the
// dialog stays open with the focus where the user can put them right; the
// 14 is valid, so that OK then saves it.
TEST_F(FormOptionsTest, OkWithInvalidDaysExplainsAndKeepsTheDialogOpen) {
    const struct {
        const char16_t* entered;
        bool checked;
    } cases[] = {{u"", true},     {u"   ", true},        {u"abc", true}, {u"-1", true},
                 {u"-30", false}, {u"two weeks", false}, {u"14d", true}, {u"99999999999", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << QString::fromUtf16(c.entered).toStdString()
                                          << (c.checked ? " checked" : " unchecked"));
        RegDeleteValue(Hive::CurrentUser, KEY_WISER_UPDATE, VALUE_UPDATE_ENABLED);
        RegDeleteValue(Hive::CurrentUser, KEY_WISER_UPDATE, VALUE_UPDATE_CHECK_DAYS);
        messages.shown.clear();
        FormOptions dialog(messages);
        dialog.Init();
        ASSERT_TRUE(ShowActive(dialog));
        enter(dialog, c.checked, QString::fromUtf16(c.entered));
        // The user presses OK from the other control than the one the focus
        // must go back to.
        QWidget* focusBefore = c.checked ? static_cast<QWidget*>(dialog.CheckWiseUpdateEnabled())
                                         : static_cast<QWidget*>(dialog.ButCancel());
        focusBefore->setFocus();
        QTest::mouseClick(dialog.ButOK(), Qt::LeftButton);

        ASSERT_EQ(messages.shown.size(), 1);
        // Only with the box unchecked does the message tell how to change the days.
        EXPECT_EQ(messages.shown[0].text.contains(u"check box"_s), !c.checked);
        EXPECT_EQ(dialog.EditWiseUpdateCheckDays()->text(), u"14"_s);
        QWidget* focus = c.checked ? static_cast<QWidget*>(dialog.EditWiseUpdateCheckDays())
                                   : static_cast<QWidget*>(dialog.CheckWiseUpdateEnabled());
        EXPECT_EQ(QApplication::focusWidget(), focus);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(dialog.DialogResult(), FormOptions::ResultNone);
        EXPECT_TRUE(nothingStored());

        QTest::mouseClick(dialog.ButOK(), Qt::LeftButton);
        EXPECT_EQ(messages.shown.size(), 1);
        EXPECT_EQ(stored(VALUE_UPDATE_CHECK_DAYS), u"14"_s);
        EXPECT_EQ(dialog.DialogResult(), FormOptions::ResultOk);
    }
}

// Cancel, Escape and the window's close box leave without saving what was
// entered.
TEST_F(FormOptionsTest, LeavingWithoutOkSavesNothing) {
    const std::pair<const char*, std::function<void(FormOptions&)>> ways[] = {
        {"Cancel", [](FormOptions& dialog) { dialog.ButCancel()->click(); }},
        {"Escape",
         [](FormOptions& dialog) { testing_support::PressOnFocus(dialog, Qt::Key_Escape); }},
        {"close box", [](FormOptions& dialog) { dialog.close(); }}};
    for (const auto& [name, leave] : ways) {
        SCOPED_TRACE(name);
        FormOptions dialog(messages);
        dialog.Init();
        ASSERT_TRUE(ShowActive(dialog));
        enter(dialog, false, u"3"_s);
        leave(dialog);
        EXPECT_EQ(dialog.DialogResult(), FormOptions::ResultCancel);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_TRUE(nothingStored());
    }
    EXPECT_TRUE(messages.shown.isEmpty());
}

// Return presses OK and Escape Cancel wherever the focus is.
TEST_F(FormOptionsTest, ReturnAndEscapeFromEveryControl) {
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
        for (int index = 0; index < 4; ++index) {
            FormOptions dialog(messages);
            dialog.Init();
            ASSERT_TRUE(ShowActive(dialog));
            const QList<QWidget*> controls = testing_support::FocusableControls(dialog);
            ASSERT_EQ(controls.size(), 4) << "check box, days, OK, Cancel";
            QWidget* control = controls.at(index);
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
    QTest::keyClick(&dialog, Qt::Key_N, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), dialog.EditWiseUpdateCheckDays());

    QTest::keyClick(&dialog, Qt::Key_V, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), dialog.CheckWiseUpdateEnabled());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !dialog.CheckWiseUpdateEnabled()->isChecked(); }));
    EXPECT_FALSE(daysEnabled(dialog));
}

} // namespace
