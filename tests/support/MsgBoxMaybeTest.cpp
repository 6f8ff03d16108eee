#include "support/MsgBoxMaybe.h"
#include "support/Registry.h"
#include "support/RegistryKeys.h"

#include "tests/common/ScriptedUi.h"
#include "tests/support/PrivateRegistry.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace support;

namespace {

const QString Prompt = u"Please click on the small drop-down arrow."_s;

class MsgBoxMaybeTest : public testing_support::PrivateRegistryTest {
protected:
    static void suppress(const QString& key, const QString& mark = u"no"_s) {
        RegSetString(Hive::CurrentUser, KEY_DONT_SHOW_AGAIN, key, mark);
    }

    testing_support::ScriptedMessageBoxes boxes;
};

TEST_F(MsgBoxMaybeTest, SuppressionMarkIsTrimmedAndCaseBlind) {
    for (const QString& mark : {u"no"_s, u"NO"_s, u" No "_s}) {
        suppress(MSG_KEY_STEP3, mark);
        EXPECT_TRUE(IsMsgBoxSuppressed(MSG_KEY_STEP3)) << mark.toStdString();
    }
    for (const QString& mark : {u"yes"_s, u""_s, u"nope"_s}) {
        suppress(MSG_KEY_STEP3, mark);
        EXPECT_FALSE(IsMsgBoxSuppressed(MSG_KEY_STEP3)) << mark.toStdString();
    }
    RegSetDword(Hive::CurrentUser, KEY_DONT_SHOW_AGAIN, MSG_KEY_STEP3, 0);
    EXPECT_FALSE(IsMsgBoxSuppressed(MSG_KEY_STEP3));
}

// The pressed button is the answer; a ticked box is kept only with the
// answer that suppressing the message will give from then on, and that
// answer then comes without the message being shown.
TEST_F(MsgBoxMaybeTest, TickedBoxIsRecordedOnlyForTheAnswerThatWillBeRepeated) {
    const struct {
        int buttons;
        bool positiveDefault;
        int pressed;
        bool ticked;
        bool recorded;
    } cases[] = {{MbOkCancel, true, IdCancel, true, false},
                 {MbOkCancel, true, IdOk, true, true},
                 {MbOkCancel, true, IdOk, false, false},
                 {MbOkCancel, false, IdCancel, true, true},
                 {MbOkCancel, false, IdOk, true, false},
                 {MbYesNo, true, IdNo, true, false},
                 {MbYesNo, true, IdYes, true, true},
                 {MbYesNo, false, IdNo, true, true},
                 {MbOk, true, IdOk, true, true},
                 {MbOk, false, IdOk, true, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.buttons << " " << c.positiveDefault << " "
                                          << c.pressed << " " << c.ticked);
        RegDeleteValue(Hive::CurrentUser, KEY_DONT_SHOW_AGAIN, MSG_KEY_RUN_UPDATER);
        boxes.shown.clear();
        boxes.answers = {c.pressed};
        boxes.checkBoxAnswers = {c.ticked};
        EXPECT_EQ(MsgBoxMaybe(boxes, Prompt, c.buttons, MbExclamation, MSG_KEY_RUN_UPDATER,
                              c.positiveDefault),
                  c.pressed);
        ASSERT_EQ(boxes.shown.size(), 1);
        EXPECT_EQ(boxes.shown[0].text, Prompt);
        EXPECT_TRUE(boxes.shown[0].withCheckBox);
        EXPECT_EQ(IsMsgBoxSuppressed(MSG_KEY_RUN_UPDATER), c.recorded);
        EXPECT_FALSE(IsMsgBoxSuppressed(MSG_KEY_STEP3));
        if (c.recorded) {
            EXPECT_EQ(MsgBoxMaybe(boxes, Prompt, c.buttons, MbExclamation, MSG_KEY_RUN_UPDATER,
                                  c.positiveDefault),
                      c.pressed);
            EXPECT_EQ(boxes.shown.size(), 1);
        }
    }
}

// The Step 3 hint's third click brings back that hint and no other.
TEST_F(MsgBoxMaybeTest, RestoreBringsBackOnlyTheStep3Hint) {
    suppress(MSG_KEY_STEP3);
    suppress(MSG_KEY_RUN_UPDATER);
    MsgBoxMaybe_Restore();
    EXPECT_FALSE(IsMsgBoxSuppressed(MSG_KEY_STEP3));
    EXPECT_TRUE(IsMsgBoxSuppressed(MSG_KEY_RUN_UPDATER));
    MsgBoxMaybe(boxes, Prompt, MbOk, MbInformation, MSG_KEY_STEP3, true);
    EXPECT_EQ(boxes.shown.size(), 1);
}

} // namespace
