#include "support/UpdateSettings.h"
#include "support/Registry.h"
#include "support/RegistryKeys.h"
#include "support/SettingsFile.h"

#include "tests/common/TestFiles.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace support;
using testing_support::TempFolder;
using testing_support::writeFile;

namespace {

class UpdateSettingsTest : public ::testing::Test {
protected:
    void SetUp() override { SetRegistryFiles({userFile, machineFile}); }
    void TearDown() override { ResetRegistryFiles(); }

    static QString stored(const QString& value) {
        return RegGetString(Hive::CurrentUser, KEY_WISER_UPDATE, value);
    }

    TempFolder temp;
    const QString userFile = temp.file(u"user.json"_s);
    const QString machineFile = temp.file(u"machine.json"_s);
};

TEST_F(UpdateSettingsTest, ValuesAreWrittenInTheirTextForms) {
    SetUpdateCheckEnabled(false);
    EXPECT_EQ(stored(VALUE_UPDATE_ENABLED), u"False"_s);
    EXPECT_FALSE(GetUpdateCheckEnabled());
    SetUpdateCheckEnabled(true);
    EXPECT_EQ(stored(VALUE_UPDATE_ENABLED), u"True"_s);
    EXPECT_TRUE(GetUpdateCheckEnabled());

    SetUpdateCheckDays(30);
    EXPECT_EQ(stored(VALUE_UPDATE_CHECK_DAYS), u"30"_s);
    EXPECT_EQ(GetUpdateCheckDays(), 30);

    // Afternoon hours on the 24-hour clock, single digits padded.
    const QDateTime run(QDate(2026, 3, 7), QTime(15, 5, 4));
    SaveLastUpdateRun(run);
    EXPECT_EQ(stored(VALUE_LAST_UPDATE_RUN), u"2026/03/07 15:05:04"_s);
    EXPECT_EQ(LoadLastUpdateRun(), run);

    SetLastWiseUpdateCheckDays(-1);
    EXPECT_EQ(stored(VALUE_LAST_UPDATER_CHECK_DAYS), u"-1"_s);
    SetLastWiseUpdateCheckDays(7);
    EXPECT_EQ(stored(VALUE_LAST_UPDATER_CHECK_DAYS), u"7"_s);
    EXPECT_EQ(GetLastWiseUpdateCheckDays(), 7);
}

TEST_F(UpdateSettingsTest, OnlyDaysFromZeroUpAreWritten) {
    SetUpdateCheckDays(30);
    SetUpdateCheckDays(-1);
    SetUpdateCheckDays(INT_MIN);
    EXPECT_EQ(stored(VALUE_UPDATE_CHECK_DAYS), u"30"_s);
    SetUpdateCheckDays(0);
    EXPECT_EQ(stored(VALUE_UPDATE_CHECK_DAYS), u"0"_s);
    EXPECT_EQ(GetUpdateCheckDays(), 0);
}

TEST_F(UpdateSettingsTest, OnlyStartsAfterTheYear2000BeganAreWritten) {
    const QDateTime recorded(QDate(2024, 5, 1), QTime(8, 0));
    SaveLastUpdateRun(recorded);
    for (const QDateTime& early : {RegDateZero(), QDateTime(QDate(1999, 12, 31), QTime(23, 59)),
                                   QDateTime(QDate(2000, 1, 1), QTime(0, 0)), QDateTime()}) {
        SaveLastUpdateRun(early);
        EXPECT_EQ(LoadLastUpdateRun(), recorded) << early.toString().toStdString();
    }
    SaveLastUpdateRun(QDateTime(QDate(2000, 1, 1), QTime(0, 0, 1)));
    EXPECT_EQ(stored(VALUE_LAST_UPDATE_RUN), u"2000/01/01 00:00:01"_s);
}

TEST_F(UpdateSettingsTest, NonsenseInTheStoreReadsAsTheDefaults) {
    writeFile(userFile, R"({"Software\\Tarnwick\\Quillmoth\\WiserUpdate": {
        "Enabled": {"type": "REG_SZ", "data": "yes"},
        "CheckDays": {"type": "REG_SZ", "data": "abc"},
        "LastWiserUpdateRunDateTime": {"type": "REG_SZ", "data": "last Tuesday"},
        "LastWiseUpdateCheckDays": {"type": "REG_DWORD", "data": 7}}})");
    writeFile(machineFile, R"({"Software\\Wise Solutions\\WiseUpdate\\Apps\\Tarnwick Quillmoth": {
        "CheckDays": {"type": "REG_SZ", "data": "7"}}})");
    EXPECT_TRUE(GetUpdateCheckEnabled());
    EXPECT_EQ(GetUpdateCheckDays(), 14);
    EXPECT_EQ(LoadLastUpdateRun(), RegDateZero());
    EXPECT_EQ(GetLastWiseUpdateCheckDays(), -1);
    EXPECT_EQ(GetWiseCheckDays(), -1);

    // A store that is no JSON at all reads as empty.
    writeFile(userFile, "{\"Software\": [1, 2,");
    EXPECT_TRUE(GetUpdateCheckEnabled());
    EXPECT_EQ(GetUpdateCheckDays(), 14);
    EXPECT_EQ(LoadLastUpdateRun(), RegDateZero());
}

TEST_F(UpdateSettingsTest, StoredTextIsReadLeniently) {
    RegSetString(Hive::CurrentUser, KEY_WISER_UPDATE, VALUE_UPDATE_ENABLED, u" FALSE "_s);
    RegSetString(Hive::CurrentUser, KEY_WISER_UPDATE, VALUE_UPDATE_CHECK_DAYS, u" 0 "_s);
    RegSetString(Hive::CurrentUser, KEY_WISER_UPDATE, VALUE_LAST_UPDATE_RUN,
                 u"2025-12-24 18:30:00"_s);
    EXPECT_FALSE(GetUpdateCheckEnabled());
    EXPECT_EQ(GetUpdateCheckDays(), 0);
    EXPECT_EQ(LoadLastUpdateRun(), QDateTime(QDate(2025, 12, 24), QTime(18, 30)));
}

TEST_F(UpdateSettingsTest, TheUpdatersIntervalIsReadFromTheMachineStoreOnly) {
    // The same value name under the user's key is not the updater's.
    RegSetDword(Hive::CurrentUser, KEY_UPDATER_APP, VALUE_UPDATER_CHECK_DAYS, 3);
    EXPECT_EQ(GetWiseCheckDays(), -1);
    ASSERT_TRUE(SettingsFile(machineFile)
                    .setValue(KEY_UPDATER_APP, VALUE_UPDATER_CHECK_DAYS, RegValue::dword(7)));
    EXPECT_EQ(GetWiseCheckDays(), 7);
}

} // namespace
