// The update check at start-up and from the menu, and the settings it keeps.

#include "support/ProcessStarter.h"
#include "support/Registry.h"
#include "support/RegistryKeys.h"
#include "support/SettingsFile.h"
#include "support/UpdateSettings.h"
#include "support/WiseUpdate.h"

#include "tests/common/ScriptedUi.h"
#include "tests/common/TestFiles.h"
#include "tests/support/PrivateRegistry.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace support;
using testing_support::writeFile;

namespace {

const QString FailurePrefix =
    u"The following error occurred while trying to run the WiseUpdate program:\n\n"_s;

class UpdateCheckTest : public testing_support::PrivateRegistryTest {
protected:
    QString programFolder() const { return temp.path() + u"/program"_s; }
    QString updater() const { return programFolder() + u"/WiseUpdt.exe"_s; }
    // Puts an updater beside the program; it only needs to exist for the
    // scripted starter.
    void installUpdater(const QByteArray& script = "#!/bin/sh\n", bool executable = true) const {
        writeFile(updater(), script);
        QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner;
        if (executable)
            permissions |= QFile::ExeOwner;
        QFile::setPermissions(updater(), permissions);
    }
    void setUpdaterCheckDays(quint32 days) const {
        ASSERT_TRUE(
            SettingsFile(machineFile)
                .setValue(KEY_UPDATER_APP, VALUE_UPDATER_CHECK_DAYS, RegValue::dword(days)));
    }
    void lastRunDaysAgo(double days) const {
        const auto msecs = static_cast<qint64>(days * 24 * 60 * 60 * 1000);
        SaveLastUpdateRun(clock.current.addMSecs(-msecs));
    }
    void run(bool showErrors, bool force, ProcessStarter* with = nullptr) {
        RunWiseUpdate({messages, clock, with ? *with : starter, programFolder()}, showErrors,
                      force);
    }

    testing_support::ScriptedMessageBoxes messages;
    testing_support::ManualClock clock;
    testing_support::ScriptedProcessStarter starter;
};

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
    // Zero days: due at every start, also right after the last one.
    SetUpdateCheckDays(0);
    lastRunDaysAgo(0);
    EXPECT_TRUE(IsUpdateCheckDue(clock));
}

TEST_F(UpdateCheckTest, CancelAtThePromptStartsNothingAndStoresNoTime) {
    installUpdater();
    for (const bool showErrors : {false, true}) {
        messages.answers = {IdCancel};
        run(showErrors, showErrors);
    }
    ASSERT_EQ(messages.shown.size(), 2);
    EXPECT_EQ(messages.shown[0].buttons, MbOkCancel);
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
    ASSERT_EQ(messages.shown.size(), 1) << "the automatic check fails silently";
    EXPECT_TRUE(messages.shown[0].withCheckBox) << "only the question before the start";

    messages.shown.clear();
    run(true, true);
    ASSERT_EQ(messages.shown.size(), GetParam().reported ? 2 : 1);
    if (GetParam().reported)
        EXPECT_EQ(messages.shown[1].text, FailurePrefix + GetParam().start.description);
    EXPECT_EQ(starter.started.size(), 2);
    EXPECT_EQ(stored(VALUE_LAST_UPDATE_RUN), QString());
}

INSTANTIATE_TEST_SUITE_P(
    Starts, FailedStartTest,
    ::testing::Values(FailedStartCase{"NotStarted", {0, 0, u"execve: Permission denied"_s}, true},
                      FailedStartCase{"ErrorNumber", {0, 2, u"The file cannot be found."_s}, true},
                      // 5 with no process is the user's no at the permission prompt.
                      FailedStartCase{"DeclinedAtThePrompt", {0, 5, u"Access is denied."_s}, false},
                      // 5 beside a process is no refusal but a fault.
                      FailedStartCase{
                          "ErrorFiveWithAProcess", {77, 5, u"Access is denied."_s}, true}),
    [](const ::testing::TestParamInfo<FailedStartCase>& info) { return info.param.name; });

// The updater's own interval is taken over whenever it changes, also while
// the automatic check is off, and otherwise the user's choice is kept.
TEST_F(UpdateCheckTest, UpdatersIntervalIsAdoptedOnceAndTheUsersLaterChoiceKept) {
    SetUpdateCheckEnabled(false);
    installUpdater();
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

    // The user's choice in Options outlives the check that follows ...
    SetUpdateCheckDays(30);
    run(true, true);
    EXPECT_EQ(GetUpdateCheckDays(), 30);
    EXPECT_EQ(stored(VALUE_LAST_UPDATER_CHECK_DAYS), u"7"_s);

    // ... until the updater's own setting changes again.
    setUpdaterCheckDays(10);
    SyncWiseCheckDays();
    EXPECT_EQ(GetUpdateCheckDays(), 10);

    // An updater that loses its setting leaves ours as it is.
    ASSERT_TRUE(SettingsFile(machineFile).removeValue(KEY_UPDATER_APP, VALUE_UPDATER_CHECK_DAYS));
    SyncWiseCheckDays();
    EXPECT_EQ(stored(VALUE_UPDATE_CHECK_DAYS), u"10"_s);
    EXPECT_EQ(stored(VALUE_LAST_UPDATER_CHECK_DAYS), u"-1"_s);
}

// Starts before 2000 (date 0, a clock that was never set) are not written
// over the last real one.
TEST_F(UpdateCheckTest, StartsBefore2000AreNotWritten) {
    const QDateTime recorded(QDate(2024, 5, 1), QTime(8, 0));
    SaveLastUpdateRun(recorded);
    for (const QDateTime& early :
         {RegDateZero(), QDateTime(QDate(2000, 1, 1), QTime(0, 0)), QDateTime()}) {
        SaveLastUpdateRun(early);
        EXPECT_EQ(LoadLastUpdateRun(), recorded) << early.toString().toStdString();
    }
    SaveLastUpdateRun(QDateTime(QDate(2000, 1, 1), QTime(0, 0, 1)));
    EXPECT_EQ(stored(VALUE_LAST_UPDATE_RUN), u"2000/01/01 00:00:01"_s);
}

// Nonsense in either store reads as the defaults and the check runs on them.
TEST_F(UpdateCheckTest, NonsenseSettingsRunOnTheDefaults) {
    writeFile(userFile, R"({"Software\\Tarnwick\\Quillmoth\\WiserUpdate": {
        "Enabled": {"type": "REG_SZ", "data": "perhaps"},
        "CheckDays": {"type": "REG_SZ", "data": "fortnight"},
        "LastWiserUpdateRunDateTime": {"type": "REG_SZ", "data": "2026/13/45 99:00:00"},
        "LastWiseUpdateCheckDays": {"type": "REG_DWORD", "data": 7}}})");
    writeFile(machineFile, R"({"Software\\Wise Solutions\\WiseUpdate\\Apps\\Tarnwick Quillmoth": {
        "CheckDays": {"type": "REG_SZ", "data": "7"}}})");
    EXPECT_TRUE(GetUpdateCheckEnabled());
    EXPECT_EQ(GetUpdateCheckDays(), 14);
    EXPECT_EQ(LoadLastUpdateRun(), RegDateZero());
    EXPECT_EQ(GetLastWiseUpdateCheckDays(), -1);
    EXPECT_EQ(GetWiseCheckDays(), -1);

    installUpdater();
    run(false, false);
    EXPECT_EQ(starter.started.size(), 1);
    EXPECT_EQ(stored(VALUE_LAST_UPDATE_RUN), u"2026/01/01 12:00:00"_s);
    EXPECT_EQ(GetUpdateCheckDays(), 14);
}

// The real start, of a small updater of our own that leaves notes beside
// itself.
class RealUpdaterTest : public UpdateCheckTest {
protected:
    QString note(const QString& name) const { return programFolder() + u'/' + name; }
    bool waitForNote(const QString& name) const {
        QDeadlineTimer deadline(20000);
        while (!QFile::exists(note(name)) && !deadline.hasExpired())
            QThread::msleep(20);
        return QFile::exists(note(name));
    }
    DetachedProcessStarter detached;
};

TEST_F(RealUpdaterTest, StartsTheUpdaterWithoutArgumentsAndDoesNotWaitForIt) {
    // It notes the number of its arguments and ends only once the test says
    // so (or after ten seconds): a caller that waited for it would come back
    // after it has ended.
    installUpdater("#!/bin/sh\n"
                   "dir=$(dirname \"$0\")\n"
                   "echo $# > \"$dir/arguments\"\n"
                   "for i in $(seq 100); do [ -e \"$dir/go\" ] && break; sleep 0.1; done\n"
                   "touch \"$dir/ended\"\n");
    run(true, true, &detached);
    EXPECT_FALSE(QFile::exists(note(u"ended"_s)));
    writeFile(note(u"go"_s), "");
    EXPECT_EQ(messages.shown.size(), 1) << "the question and no failure";
    EXPECT_EQ(stored(VALUE_LAST_UPDATE_RUN), u"2026/01/01 12:00:00"_s);
    ASSERT_TRUE(waitForNote(u"ended"_s));
    EXPECT_EQ(testing_support::readFile(note(u"arguments"_s)).trimmed(), "0");
}

TEST_F(RealUpdaterTest, AnUpdaterThatCannotRunIsReportedInTheSystemsWords) {
    installUpdater("#!/bin/sh\n", false);
    run(true, true, &detached);
    ASSERT_EQ(messages.shown.size(), 2);
    const QString report = messages.shown[1].text;
    ASSERT_TRUE(report.startsWith(FailurePrefix)) << report.toStdString();
    EXPECT_GT(report.size(), FailurePrefix.size()) << "the description is missing";
    EXPECT_EQ(stored(VALUE_LAST_UPDATE_RUN), QString());
}

} // namespace
