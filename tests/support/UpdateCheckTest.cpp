#include "support/ProcessStarter.h"
#include "support/Registry.h"
#include "support/RegistryKeys.h"
#include "support/SettingsFile.h"
#include "support/UpdateSettings.h"
#include "support/WiseUpdate.h"

#include "tests/common/ScriptedUi.h"
#include "tests/common/TestFiles.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace support;
using testing_support::ManualClock;
using testing_support::ScriptedMessageBoxes;
using testing_support::TempFolder;

namespace {

const QString Prompt = u"Quillmoth will now run the WiseUpdate utility to check if an updated "
                       u"version of Quillmoth is available.\n\n(You may be prompted for "
                       u"permission to run WiseUpdt.exe.)"_s;
const QString FailurePrefix =
    u"The following error occurred while trying to run the WiseUpdate program:\n\n"_s;

class UpdateCheckTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetRegistryFiles({temp.file(u"user.json"_s), temp.file(u"machine.json"_s)});
    }
    void TearDown() override { ResetRegistryFiles(); }

    QString programFolder() const { return temp.path() + u"/program"_s; }
    QString updater() const { return programFolder() + u"/WiseUpdt.exe"_s; }
    // Puts an updater beside the program; it only needs to exist for the
    // scripted starter.
    void installUpdater(const QByteArray& script = "#!/bin/sh\n", bool executable = true) const {
        testing_support::writeFile(updater(), script);
        QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner;
        if (executable)
            permissions |= QFile::ExeOwner;
        QFile::setPermissions(updater(), permissions);
    }
    void setUpdaterCheckDays(quint32 days) const {
        ASSERT_TRUE(
            SettingsFile(temp.file(u"machine.json"_s))
                .setValue(KEY_UPDATER_APP, VALUE_UPDATER_CHECK_DAYS, RegValue::dword(days)));
    }
    void lastRunDaysAgo(double days) const {
        const auto msecs = static_cast<qint64>(days * 24 * 60 * 60 * 1000);
        SaveLastUpdateRun(clock.current.addMSecs(-msecs));
    }
    static QString stored(const QString& value) {
        return RegGetString(Hive::CurrentUser, KEY_WISER_UPDATE, value);
    }
    void run(bool showErrors, bool force, ProcessStarter* with = nullptr) {
        RunWiseUpdate({messages, clock, with ? *with : starter, programFolder()}, showErrors,
                      force);
    }
    QStringList shownTexts() const {
        QStringList texts;
        for (const auto& message : messages.shown)
            texts.append(message.text);
        return texts;
    }

    TempFolder temp;
    ScriptedMessageBoxes messages;
    ManualClock clock;
    testing_support::ScriptedProcessStarter starter;
};

TEST(UpdaterPath, IsTheUpdaterBesideTheProgramUnlessToldOtherwise) {
    EXPECT_EQ(UpdaterPath(), QCoreApplication::applicationDirPath() + u"/WiseUpdt.exe"_s);
    EXPECT_EQ(UpdaterPath(u"/opt/quillmoth"_s), u"/opt/quillmoth/WiseUpdt.exe"_s);
    EXPECT_EQ(UpdaterPath(u"/opt/quillmoth/"_s), u"/opt/quillmoth/WiseUpdt.exe"_s);
}

TEST_F(UpdateCheckTest, DueWhenTheIntervalHasPassedCountingFractionsOfDays) {
    EXPECT_TRUE(IsUpdateCheckDue(clock)) << "never run: last start is date 0";
    lastRunDaysAgo(13.99);
    EXPECT_FALSE(IsUpdateCheckDue(clock));
    lastRunDaysAgo(14);
    EXPECT_TRUE(IsUpdateCheckDue(clock));
    SetUpdateCheckDays(20);
    EXPECT_FALSE(IsUpdateCheckDue(clock));
    lastRunDaysAgo(20.5);
    EXPECT_TRUE(IsUpdateCheckDue(clock));
    // A clock put back behind the last start waits for the interval again.
    lastRunDaysAgo(-1);
    EXPECT_FALSE(IsUpdateCheckDue(clock));
}

TEST_F(UpdateCheckTest, ZeroDaysIsDueAtEveryStart) {
    SetUpdateCheckDays(0);
    lastRunDaysAgo(0);
    EXPECT_TRUE(IsUpdateCheckDue(clock));
    installUpdater();
    for (int start = 1; start <= 3; ++start) {
        clock.current = clock.current.addSecs(60);
        run(false, false);
        EXPECT_EQ(starter.started.size(), start);
    }
}

TEST_F(UpdateCheckTest, FirstRunAsksThenStartsTheUpdaterAndRecordsTheTime) {
    installUpdater();
    run(false, false);
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text, Prompt);
    EXPECT_EQ(messages.shown[0].title, u"Quillmoth"_s);
    EXPECT_EQ(messages.shown[0].buttons, MbOkCancel);
    EXPECT_EQ(messages.shown[0].icon, MbExclamation);
    EXPECT_TRUE(messages.shown[0].withCheckBox);
    EXPECT_EQ(starter.started, QStringList{updater()});
    EXPECT_EQ(stored(VALUE_LAST_UPDATE_RUN), u"2026/01/01 12:00:00"_s);

    // Not due again until the interval has passed.
    clock.current = clock.current.addDays(13);
    run(false, false);
    EXPECT_EQ(starter.started.size(), 1);
    clock.current = clock.current.addDays(1);
    run(false, false);
    EXPECT_EQ(starter.started.size(), 2);
    EXPECT_EQ(stored(VALUE_LAST_UPDATE_RUN), u"2026/01/15 12:00:00"_s);
}

// With the automatic check off, or not due yet, only the menu starts the
// updater, whatever the interval.
TEST_F(UpdateCheckTest, WhenTheAutomaticCheckWaitsOnlyTheMenuStartsTheUpdater) {
    for (const bool checkOff : {true, false}) {
        SCOPED_TRACE(checkOff ? "check off" : "not due");
        starter.started.clear();
        messages.shown.clear();
        SetUpdateCheckEnabled(!checkOff);
        installUpdater();
        lastRunDaysAgo(checkOff ? 0.01 : 1);
        run(false, false);
        EXPECT_TRUE(starter.started.isEmpty());
        EXPECT_TRUE(messages.shown.isEmpty());
        run(true, true);
        EXPECT_EQ(starter.started.size(), 1);
        EXPECT_EQ(stored(VALUE_LAST_UPDATE_RUN), u"2026/01/01 12:00:00"_s);
    }
}

TEST_F(UpdateCheckTest, CancelAtThePromptStartsNothingAndStoresNoTime) {
    installUpdater();
    for (const bool showErrors : {false, true}) {
        messages.answers = {IdCancel};
        run(showErrors, showErrors);
    }
    EXPECT_EQ(messages.shown.size(), 2);
    EXPECT_TRUE(starter.started.isEmpty());
    EXPECT_EQ(stored(VALUE_LAST_UPDATE_RUN), QString());
    EXPECT_TRUE(IsUpdateCheckDue(clock));
}

TEST_F(UpdateCheckTest, SuppressedPromptAnswersOkByItself) {
    installUpdater();
    // The user ticks "do not show again" and presses OK once ...
    messages.checkBoxAnswers = {true};
    run(true, true);
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(RegGetString(Hive::CurrentUser, KEY_DONT_SHOW_AGAIN, u"Zorvo-RunWiseUpdt"_s),
              u"no"_s);
    // ... and from then on the updater starts without the question.
    messages.answers = {IdCancel};
    run(true, true);
    EXPECT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(starter.started.size(), 2);
}

TEST_F(UpdateCheckTest, MissingUpdaterIsReportedOnlyWhenTheUserAsked) {
    run(false, false);
    run(false, true);
    EXPECT_TRUE(messages.shown.isEmpty());
    run(true, true);
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text,
              u"The WiseUpdate utility ("_s + updater() + u") could not be found."_s);
    EXPECT_EQ(messages.shown[0].buttons, MbOk);
    EXPECT_EQ(messages.shown[0].icon, MbExclamation);
    EXPECT_FALSE(messages.shown[0].withCheckBox);
    EXPECT_TRUE(starter.started.isEmpty());
    EXPECT_EQ(stored(VALUE_LAST_UPDATE_RUN), QString());
}

struct FailedStartCase {
    const char* name;
    ProcessStart start;
    bool reported; // when the user asked
};

class FailedStartTest : public UpdateCheckTest,
                        public ::testing::WithParamInterface<FailedStartCase> {};

TEST_P(FailedStartTest, IsReportedWhenTheUserAskedAndStoresNoTime) {
    installUpdater();
    starter.answer = GetParam().start;

    run(false, false);
    EXPECT_EQ(shownTexts(), QStringList{Prompt}) << "the automatic check fails silently";

    messages.shown.clear();
    run(true, true);
    QStringList expected{Prompt};
    if (GetParam().reported)
        expected.append(FailurePrefix + GetParam().start.description);
    EXPECT_EQ(shownTexts(), expected);
    EXPECT_EQ(messages.shown.last().icon, MbExclamation);
    EXPECT_EQ(starter.started.size(), 2);
    EXPECT_EQ(stored(VALUE_LAST_UPDATE_RUN), QString());
    EXPECT_TRUE(IsUpdateCheckDue(clock));
}

INSTANTIATE_TEST_SUITE_P(
    Starts, FailedStartTest,
    ::testing::Values(
        FailedStartCase{"NotStarted", {0, 0, u"execve: Permission denied"_s}, true},
        FailedStartCase{"ErrorNumber", {0, 2, u"The file cannot be found."_s}, true},
        // 5 with no process is the user's no at the permission prompt.
        FailedStartCase{"DeclinedAtThePrompt", {0, 5, u"Access is denied."_s}, false},
        // 5 beside a process is no refusal but a fault.
        FailedStartCase{"ErrorFiveWithAProcess", {77, 5, u"Access is denied."_s}, true},
        FailedStartCase{"ProcessWithAnError", {77, 1, u"Incorrect function."_s}, true}),
    [](const ::testing::TestParamInfo<FailedStartCase>& info) { return info.param.name; });

TEST_F(UpdateCheckTest, UpdatersIntervalIsAdoptedOnceAndTheUsersLaterChoiceKept) {
    installUpdater();
    lastRunDaysAgo(1);
    // Nothing from the updater, nothing seen before: nothing changes.
    SyncWiseCheckDays();
    EXPECT_EQ(stored(VALUE_UPDATE_CHECK_DAYS), QString());
    EXPECT_EQ(stored(VALUE_LAST_UPDATER_CHECK_DAYS), QString());

    setUpdaterCheckDays(14);
    run(false, false);
    EXPECT_EQ(stored(VALUE_UPDATE_CHECK_DAYS), u"14"_s);
    EXPECT_EQ(stored(VALUE_LAST_UPDATER_CHECK_DAYS), u"14"_s);

    setUpdaterCheckDays(7);
    run(false, false);
    EXPECT_EQ(GetUpdateCheckDays(), 7);
    EXPECT_EQ(stored(VALUE_LAST_UPDATER_CHECK_DAYS), u"7"_s);

    // The user's choice in Options outlives the checks that follow ...
    SetUpdateCheckDays(30);
    for (int check = 0; check < 3; ++check)
        run(true, true);
    EXPECT_EQ(GetUpdateCheckDays(), 30);
    EXPECT_EQ(stored(VALUE_LAST_UPDATER_CHECK_DAYS), u"7"_s);

    // ... until the updater's own setting changes again.
    setUpdaterCheckDays(10);
    SyncWiseCheckDays();
    EXPECT_EQ(GetUpdateCheckDays(), 10);
}

TEST_F(UpdateCheckTest, UpdatersIntervalIsAdoptedEvenWhileTheAutomaticCheckIsOff) {
    SetUpdateCheckEnabled(false);
    setUpdaterCheckDays(3);
    run(false, false);
    EXPECT_EQ(GetUpdateCheckDays(), 3);
}

TEST_F(UpdateCheckTest, UpdaterLosingItsIntervalLeavesOursAsItIs) {
    setUpdaterCheckDays(7);
    SyncWiseCheckDays();
    ASSERT_EQ(GetUpdateCheckDays(), 7);
    ASSERT_TRUE(SettingsFile(temp.file(u"machine.json"_s))
                    .removeValue(KEY_UPDATER_APP, VALUE_UPDATER_CHECK_DAYS));
    SyncWiseCheckDays();
    EXPECT_EQ(stored(VALUE_UPDATE_CHECK_DAYS), u"7"_s);
    EXPECT_EQ(stored(VALUE_LAST_UPDATER_CHECK_DAYS), u"-1"_s);
}

TEST_F(UpdateCheckTest, NonsenseSettingsRunOnTheDefaults) {
    testing_support::writeFile(temp.file(u"user.json"_s),
                               R"({"Software\\Tarnwick\\Quillmoth\\WiserUpdate": {
        "Enabled": {"type": "REG_SZ", "data": "perhaps"},
        "CheckDays": {"type": "REG_SZ", "data": "fortnight"},
        "LastWiserUpdateRunDateTime": {"type": "REG_SZ", "data": "2026/13/45 99:00:00"}}})");
    installUpdater();
    // Enabled reads true and the last start date 0, so the check is due.
    run(false, false);
    EXPECT_EQ(starter.started.size(), 1);
    EXPECT_EQ(stored(VALUE_LAST_UPDATE_RUN), u"2026/01/01 12:00:00"_s);
    // And the interval reads 14.
    clock.current = clock.current.addDays(13);
    EXPECT_FALSE(IsUpdateCheckDue(clock));
    clock.current = clock.current.addDays(1);
    EXPECT_TRUE(IsUpdateCheckDue(clock));
}

// The real start, of a small updater of our own that leaves a note of how
// it was called.
class RealUpdaterTest : public UpdateCheckTest {
protected:
    QString note() const { return programFolder() + u"/ran"_s; }
    bool waitForNote() const {
        QDeadlineTimer deadline(10000);
        while (!QFile::exists(note()) && !deadline.hasExpired())
            QThread::msleep(20);
        return QFile::exists(note());
    }
    DetachedProcessStarter detached;
};

TEST_F(RealUpdaterTest, StartsTheUpdaterWithoutArgumentsAndDoesNotWaitForIt) {
    // It writes the number of its arguments, then lingers: a caller that
    // waited for it would not come back before the note is there.
    installUpdater("#!/bin/sh\n"
                   "dir=$(dirname \"$0\")\n"
                   "echo $# > \"$dir/ran.tmp\" && mv \"$dir/ran.tmp\" \"$dir/ran\"\n"
                   "sleep 3\n");
    QElapsedTimer elapsed;
    elapsed.start();
    run(true, true, &detached);
    EXPECT_LT(elapsed.elapsed(), 2000);
    EXPECT_EQ(shownTexts(), QStringList{Prompt});
    EXPECT_EQ(stored(VALUE_LAST_UPDATE_RUN), u"2026/01/01 12:00:00"_s);
    ASSERT_TRUE(waitForNote());
    EXPECT_EQ(testing_support::readFile(note()).trimmed(), "0");
}

TEST_F(RealUpdaterTest, AnUpdaterThatCannotRunIsReportedInTheSystemsWords) {
    installUpdater("#!/bin/sh\n", false);
    run(false, false, &detached);
    EXPECT_EQ(shownTexts(), QStringList{Prompt});
    messages.shown.clear();
    run(true, true, &detached);
    ASSERT_EQ(messages.shown.size(), 2);
    const QString report = messages.shown[1].text;
    ASSERT_TRUE(report.startsWith(FailurePrefix)) << report.toStdString();
    EXPECT_GT(report.size(), FailurePrefix.size()) << "the description is missing";
    EXPECT_EQ(stored(VALUE_LAST_UPDATE_RUN), QString());
}

} // namespace
