#include "support/MsgBoxMaybe.h"
#include "support/Registry.h"
#include "support/RegistryKeys.h"

#include "tests/common/ScriptedUi.h"
#include "tests/common/TestFiles.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace support;
using testing_support::ScriptedMessageBoxes;
using testing_support::TempFolder;

namespace {

const QString Prompt = u"Please click on the small drop-down arrow."_s;

class MsgBoxMaybeTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetRegistryFiles({temp.path() + u"/user.json"_s, temp.path() + u"/machine.json"_s});
    }
    void TearDown() override { ResetRegistryFiles(); }

    void suppress(const QString& key, const QString& mark = u"no"_s) {
        RegSetString(Hive::CurrentUser, KEY_DONT_SHOW_AGAIN, key, mark);
    }
    QString stored(const QString& key) {
        return RegGetString(Hive::CurrentUser, KEY_DONT_SHOW_AGAIN, key);
    }

    TempFolder temp;
    ScriptedMessageBoxes boxes;
};

struct SuppressedCase {
    int buttons;
    bool positiveDefault;
    int expected;
};

class SuppressedAnswerTest : public MsgBoxMaybeTest,
                             public ::testing::WithParamInterface<SuppressedCase> {};

TEST_P(SuppressedAnswerTest, AnswersWithoutShowingAnything) {
    const SuppressedCase& c = GetParam();
    suppress(MSG_KEY_RUN_UPDATER);
    EXPECT_EQ(MsgBoxMaybe(boxes, Prompt, c.buttons, MbExclamation, MSG_KEY_RUN_UPDATER,
                          c.positiveDefault),
              c.expected);
    EXPECT_TRUE(boxes.shown.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(ButtonSets, SuppressedAnswerTest,
                         ::testing::Values(SuppressedCase{MbOk, true, IdOk},
                                           SuppressedCase{MbOk, false, IdOk},
                                           SuppressedCase{MbOkCancel, true, IdOk},
                                           SuppressedCase{MbOkCancel, false, IdCancel},
                                           SuppressedCase{MbYesNo, true, IdYes},
                                           SuppressedCase{MbYesNo, false, IdNo}));

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

TEST_F(MsgBoxMaybeTest, ShowsWithCheckBoxAndReturnsThePressedButton) {
    boxes.answers = {IdCancel};
    EXPECT_EQ(MsgBoxMaybe(boxes, Prompt, MbOkCancel, MbExclamation, MSG_KEY_RUN_UPDATER, true),
              IdCancel);
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_TRUE(boxes.shown[0].withCheckBox);
    EXPECT_EQ(boxes.shown[0].text, Prompt);
    EXPECT_EQ(boxes.shown[0].title, u"Quillmoth"_s);
    EXPECT_EQ(boxes.shown[0].buttons, MbOkCancel);
    EXPECT_EQ(boxes.shown[0].icon, MbExclamation);
    EXPECT_EQ(stored(MSG_KEY_RUN_UPDATER), QString());
}

TEST_F(MsgBoxMaybeTest, TickedBoxSuppressesTheNextTime) {
    boxes.checkBoxAnswers = {true};
    EXPECT_EQ(MsgBoxMaybe(boxes, Prompt, MbOk, MbInformation, MSG_KEY_STEP3, true), IdOk);
    EXPECT_EQ(stored(MSG_KEY_STEP3), u"no"_s);
    EXPECT_TRUE(IsMsgBoxSuppressed(MSG_KEY_STEP3));
    EXPECT_FALSE(IsMsgBoxSuppressed(MSG_KEY_RUN_UPDATER));

    EXPECT_EQ(MsgBoxMaybe(boxes, Prompt, MbOk, MbInformation, MSG_KEY_STEP3, true), IdOk);
    EXPECT_EQ(boxes.shown.size(), 1);
}

TEST_F(MsgBoxMaybeTest, TickedBoxIsRecordedOnlyForTheAnswerThatWillBeRepeated) {
    struct Case {
        int buttons;
        bool positiveDefault;
        int pressed;
        bool recorded;
    };
    const Case cases[] = {{MbOkCancel, true, IdCancel, false}, {MbOkCancel, true, IdOk, true},
                          {MbOkCancel, false, IdCancel, true}, {MbOkCancel, false, IdOk, false},
                          {MbYesNo, true, IdNo, false},        {MbYesNo, false, IdNo, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << c.buttons << " " << c.positiveDefault << " " << c.pressed);
        RegDeleteValue(Hive::CurrentUser, KEY_DONT_SHOW_AGAIN, MSG_KEY_RUN_UPDATER);
        boxes.answers = {c.pressed};
        boxes.checkBoxAnswers = {true};
        EXPECT_EQ(MsgBoxMaybe(boxes, Prompt, c.buttons, MbExclamation, MSG_KEY_RUN_UPDATER,
                              c.positiveDefault),
                  c.pressed);
        EXPECT_EQ(IsMsgBoxSuppressed(MSG_KEY_RUN_UPDATER), c.recorded);
    }
}

TEST_F(MsgBoxMaybeTest, InvalidButtonsAreReportedAndAnswerCancel) {
    suppress(MSG_KEY_STEP3);
    EXPECT_EQ(MsgBoxMaybe(boxes, Prompt, 3, MbInformation, MSG_KEY_STEP3, true), IdCancel);
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.shown[0].text, u"Error! Invalid Buttons value!"_s);
    EXPECT_EQ(boxes.shown[0].title, u"MsgBoxMaybe"_s);
    EXPECT_EQ(boxes.shown[0].icon, MbCritical);
    EXPECT_FALSE(boxes.shown[0].withCheckBox);
}

TEST_F(MsgBoxMaybeTest, InvalidButtonsStillShowTheMessageWhenNotSuppressed) {
    boxes.answers = {IdOk, IdOk};
    MsgBoxMaybe(boxes, Prompt, 99, MbInformation, MSG_KEY_STEP3, false);
    ASSERT_EQ(boxes.shown.size(), 2);
    EXPECT_EQ(boxes.shown[1].text, Prompt);
    EXPECT_TRUE(boxes.shown[1].withCheckBox);
}

TEST_F(MsgBoxMaybeTest, RestoreBringsBackOnlyTheStep3Hint) {
    suppress(MSG_KEY_STEP3);
    suppress(MSG_KEY_RUN_UPDATER);
    MsgBoxMaybe_Restore();
    EXPECT_FALSE(IsMsgBoxSuppressed(MSG_KEY_STEP3));
    EXPECT_TRUE(IsMsgBoxSuppressed(MSG_KEY_RUN_UPDATER));
    MsgBoxMaybe(boxes, Prompt, MbOk, MbInformation, MSG_KEY_STEP3, true);
    EXPECT_EQ(boxes.shown.size(), 1);
}

TEST(SuppressedAnswer, InvalidButtonsGiveZero) {
    for (int buttons : {-1, 2, 3, 5, 16})
        EXPECT_EQ(SuppressedAnswer(buttons, true), 0) << buttons;
}

} // namespace
