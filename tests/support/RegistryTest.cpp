#include "support/Registry.h"
#include "support/RegistryKeys.h"
#include "support/SettingsFile.h"

#include "tests/common/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace support;
using testing_support::readFile;
using testing_support::TempFolder;
using testing_support::writeFile;

namespace {

// Points both hives at files of a private folder for the test's duration.
class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        userFile = temp.path() + u"/user/Tarnwick/Quillmoth/registry.json"_s;
        machineFile = temp.path() + u"/machine/Tarnwick/Quillmoth/registry.json"_s;
        SetRegistryFiles({userFile, machineFile});
    }
    void TearDown() override { ResetRegistryFiles(); }

    void storeString(const QString& key, const QString& value, const QString& text) {
        RegSetString(Hive::CurrentUser, key, value, text);
    }

    TempFolder temp;
    QString userFile;
    QString machineFile;
};

TEST_F(RegistryTest, WritingCreatesTheStoreAndTheKey) {
    ASSERT_FALSE(QFile::exists(userFile));
    storeString(KEY_QUILLMOTH, VALUE_TARGET_SIZE, u"300 x 300"_s);
    EXPECT_TRUE(QFile::exists(userFile));
    EXPECT_TRUE(SettingsFile(userFile).keyExists(KEY_QUILLMOTH));
    EXPECT_EQ(RegGetString(Hive::CurrentUser, KEY_QUILLMOTH, VALUE_TARGET_SIZE), u"300 x 300"_s);
}

TEST_F(RegistryTest, MissingValuesAndKeysGiveTheDefaults) {
    storeString(KEY_QUILLMOTH, u"Other"_s, u"x"_s);
    for (const QString& key : {KEY_QUILLMOTH, KEY_WISER_UPDATE, u"Software\\Nobody"_s}) {
        SCOPED_TRACE(key.toStdString());
        EXPECT_EQ(RegGetString(Hive::CurrentUser, key, VALUE_TARGET_SIZE), QString());
        EXPECT_EQ(RegGetLong(Hive::CurrentUser, key, VALUE_UPDATE_CHECK_DAYS, 14), 14);
        EXPECT_TRUE(RegGetBool(Hive::CurrentUser, key, VALUE_UPDATE_ENABLED, true));
        EXPECT_FALSE(RegGetBool(Hive::CurrentUser, key, VALUE_UPDATE_ENABLED, false));
        EXPECT_EQ(RegGetDword(Hive::CurrentUser, key, VALUE_UPDATER_CHECK_DAYS, -1), -1);
        EXPECT_EQ(RegGetDate(Hive::CurrentUser, key, VALUE_LAST_UPDATE_RUN, RegDateZero()),
                  RegDateZero());
    }
}

// A value of another type than the one asked for reads as the default: a
// number as text, text as a number, and what no type of ours describes.
TEST_F(RegistryTest, ValuesOfAnotherTypeReadAsDefaults) {
    RegSetDword(Hive::CurrentUser, KEY_QUILLMOTH, u"Number"_s, 300);
    EXPECT_EQ(RegGetString(Hive::CurrentUser, KEY_QUILLMOTH, u"Number"_s), QString());
    EXPECT_EQ(RegGetLong(Hive::CurrentUser, KEY_QUILLMOTH, u"Number"_s, 14), 14);
    EXPECT_EQ(RegGetDword(Hive::CurrentUser, KEY_QUILLMOTH, u"Number"_s, -1), 300);
    storeString(KEY_QUILLMOTH, u"Count"_s, u"7"_s);
    EXPECT_EQ(RegGetDword(Hive::CurrentUser, KEY_QUILLMOTH, u"Count"_s, -1), -1);

    writeFile(userFile, R"({"Software\\Tarnwick\\Quillmoth": {
        "TargetSize": {"type": "REG_BINARY", "data": "AAEC"},
        "Half": {"type": "REG_DWORD", "data": 1.5},
        "Huge": {"type": "REG_DWORD", "data": 1e12},
        "NoType": "plain"}})");
    for (const QString& name : {u"TargetSize"_s, u"Half"_s, u"Huge"_s, u"NoType"_s}) {
        SCOPED_TRACE(name.toStdString());
        EXPECT_EQ(RegGetString(Hive::CurrentUser, KEY_QUILLMOTH, name), QString());
        EXPECT_EQ(RegGetDword(Hive::CurrentUser, KEY_QUILLMOTH, name, -5), -5);
    }
}

TEST_F(RegistryTest, DwordKeepsAllThirtyTwoBits) {
    RegSetDword(Hive::CurrentUser, KEY_QUILLMOTH, u"All"_s, 0xFFFFFFFFu);
    RegSetDword(Hive::CurrentUser, KEY_QUILLMOTH, u"High"_s, 0x80000000u);
    EXPECT_EQ(RegGetDword(Hive::CurrentUser, KEY_QUILLMOTH, u"All"_s, 0), -1);
    EXPECT_EQ(RegGetDword(Hive::CurrentUser, KEY_QUILLMOTH, u"High"_s, 0), INT32_MIN);
}

TEST_F(RegistryTest, StringsOfAnyCharactersRoundTrip) {
    const QString texts[] = {u"/music/Ünïcødé \"quoted\" 'single' back\\slash"_s,
                             u"line\nbreak\ttab\r\n"_s, u"\U0001F3B5 emoji and \u4E2D\u6587"_s,
                             u"  surrounding blanks  "_s, QString()};
    for (const QString& text : texts) {
        storeString(KEY_QUILLMOTH, VALUE_LAST_LIBRARY, text);
        EXPECT_EQ(RegGetString(Hive::CurrentUser, KEY_QUILLMOTH, VALUE_LAST_LIBRARY), text);
    }
}

TEST_F(RegistryTest, StringsBeyondTheReadBufferReadAsEmpty) {
    const QString fits(REG_STRING_MAX_BYTES - 1, u'a');
    const QString tooLong(REG_STRING_MAX_BYTES, u'a');
    // Two bytes per character in UTF-8: 512 of them no longer fit with the null.
    const QString wideTooLong(REG_STRING_MAX_BYTES / 2, QChar(0xE9));
    storeString(KEY_QUILLMOTH, u"Fits"_s, fits);
    storeString(KEY_QUILLMOTH, u"TooLong"_s, tooLong);
    storeString(KEY_QUILLMOTH, u"Wide"_s, wideTooLong);
    EXPECT_EQ(RegGetString(Hive::CurrentUser, KEY_QUILLMOTH, u"Fits"_s), fits);
    EXPECT_EQ(RegGetString(Hive::CurrentUser, KEY_QUILLMOTH, u"TooLong"_s), QString());
    EXPECT_EQ(RegGetString(Hive::CurrentUser, KEY_QUILLMOTH, u"Wide"_s), QString());
    EXPECT_EQ(RegGetString(Hive::CurrentUser, KEY_QUILLMOTH, u"TooLong"_s, 4096), tooLong);
}

struct BoolCase {
    const char16_t* stored;
    bool defaultValue;
    bool expected;
};

class RegGetBoolTest : public RegistryTest, public ::testing::WithParamInterface<BoolCase> {};

TEST_P(RegGetBoolTest, ReadsTrueFalseOrTheDefault) {
    const BoolCase& c = GetParam();
    storeString(KEY_WISER_UPDATE, VALUE_UPDATE_ENABLED, QString::fromUtf16(c.stored));
    EXPECT_EQ(RegGetBool(Hive::CurrentUser, KEY_WISER_UPDATE, VALUE_UPDATE_ENABLED, c.defaultValue),
              c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Words, RegGetBoolTest,
    ::testing::Values(BoolCase{u" TRUE ", false, true}, BoolCase{u"True", false, true},
                      BoolCase{u"False", true, false}, BoolCase{u"\tfalse\n", true, false},
                      BoolCase{u"yes", true, true}, BoolCase{u"yes", false, false},
                      BoolCase{u"1", false, false}, BoolCase{u"truely", false, false},
                      BoolCase{u"", true, true}));

struct LongCase {
    const char16_t* stored;
    int expected; // with default 14
};

class RegGetLongTest : public RegistryTest, public ::testing::WithParamInterface<LongCase> {};

TEST_P(RegGetLongTest, ReadsNumbersOrTheDefault) {
    storeString(KEY_WISER_UPDATE, VALUE_UPDATE_CHECK_DAYS, QString::fromUtf16(GetParam().stored));
    EXPECT_EQ(RegGetLong(Hive::CurrentUser, KEY_WISER_UPDATE, VALUE_UPDATE_CHECK_DAYS, 14),
              GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Texts, RegGetLongTest,
                         ::testing::Values(LongCase{u"abc", 14}, LongCase{u"0", 0},
                                           LongCase{u" 30 ", 30}, LongCase{u"-1", -1},
                                           LongCase{u"+7", 7}, LongCase{u"2.5", 2},
                                           LongCase{u"3.5", 4}, LongCase{u"2147483647", 2147483647},
                                           LongCase{u"2147483648", 14},
                                           LongCase{u"-99999999999", 14}, LongCase{u"inf", 14},
                                           LongCase{u"nan", 14}, LongCase{u"7 days", 14},
                                           LongCase{u"", 14}, LongCase{u"   ", 14}));

TEST_F(RegistryTest, DateRoundTripsInTheStoredForm) {
    const QDateTime when(QDate(2026, 2, 3), QTime(21, 4, 5));
    storeString(KEY_WISER_UPDATE, VALUE_LAST_UPDATE_RUN, RegDateText(when));
    EXPECT_EQ(RegGetString(Hive::CurrentUser, KEY_WISER_UPDATE, VALUE_LAST_UPDATE_RUN),
              u"2026/02/03 21:04:05"_s);
    EXPECT_EQ(RegGetDate(Hive::CurrentUser, KEY_WISER_UPDATE, VALUE_LAST_UPDATE_RUN, RegDateZero()),
              when);
}

TEST_F(RegistryTest, DateZeroIsTheLastDaysOf1899) {
    EXPECT_EQ(RegDateZero().date(), QDate(1899, 12, 30));
    EXPECT_EQ(RegDateZero().time(), QTime(0, 0));
}

TEST(ParseRegDate, AcceptsCommonFormsAndRejectsOthers) {
    const QDateTime expected(QDate(2024, 3, 7), QTime(9, 5, 1));
    for (const QString& text :
         {u"2024/03/07 09:05:01"_s, u"2024/3/7 9:05:01"_s, u" 2024-03-07 09:05:01 "_s,
          u"2024-03-07T09:05:01"_s, u"3/7/2024 9:05:01 AM"_s, u"03/07/2024 09:05:01"_s}) {
        SCOPED_TRACE(text.toStdString());
        EXPECT_EQ(ParseRegDate(text), expected);
    }
    EXPECT_EQ(ParseRegDate(u"3/7/2024 9:05:01 PM"_s), expected.addSecs(12 * 3600));
    EXPECT_EQ(ParseRegDate(u"2024/03/07 09:05"_s), QDateTime(QDate(2024, 3, 7), QTime(9, 5)));
    EXPECT_EQ(ParseRegDate(u"2024/03/07"_s), QDateTime(QDate(2024, 3, 7), QTime(0, 0)));
    for (const QString& text :
         {u""_s, u"soon"_s, u"2024/13/40 10:00:00"_s, u"2024/02/30"_s, u"25:00"_s}) {
        SCOPED_TRACE(text.toStdString());
        EXPECT_FALSE(ParseRegDate(text).isValid());
    }
}

TEST_F(RegistryTest, UnparsableDateGivesTheDefault) {
    storeString(KEY_WISER_UPDATE, VALUE_LAST_UPDATE_RUN, u"yesterday"_s);
    EXPECT_EQ(RegGetDate(Hive::CurrentUser, KEY_WISER_UPDATE, VALUE_LAST_UPDATE_RUN, RegDateZero()),
              RegDateZero());
}

TEST_F(RegistryTest, NamesMatchWithoutRegardToCaseAndKeepTheirSpelling) {
    storeString(KEY_QUILLMOTH, VALUE_TARGET_SIZE, u"first"_s);
    storeString(u"software\\TARNWICK\\quillmoth\\"_s, u"targetsize"_s, u"second"_s);
    EXPECT_EQ(
        RegGetString(Hive::CurrentUser, u"\\SOFTWARE\\Tarnwick\\\\Quillmoth"_s, u"TARGETSIZE"_s),
        u"second"_s);
    const QByteArray stored = readFile(userFile);
    EXPECT_TRUE(stored.contains(R"("Software\\Tarnwick\\Quillmoth")"));
    EXPECT_TRUE(stored.contains(R"("TargetSize")"));
    EXPECT_FALSE(stored.contains("targetsize"));
}

TEST_F(RegistryTest, DeleteValueRemovesOnlyThatValue) {
    storeString(KEY_DONT_SHOW_AGAIN, MSG_KEY_STEP3, u"no"_s);
    storeString(KEY_DONT_SHOW_AGAIN, MSG_KEY_RUN_UPDATER, u"no"_s);
    RegDeleteValue(Hive::CurrentUser, KEY_DONT_SHOW_AGAIN, MSG_KEY_STEP3);
    EXPECT_EQ(RegGetString(Hive::CurrentUser, KEY_DONT_SHOW_AGAIN, MSG_KEY_STEP3), QString());
    EXPECT_EQ(RegGetString(Hive::CurrentUser, KEY_DONT_SHOW_AGAIN, MSG_KEY_RUN_UPDATER), u"no"_s);
    // Deleting what is not there is no failure and leaves the store alone.
    const QByteArray before = readFile(userFile);
    RegDeleteValue(Hive::CurrentUser, KEY_DONT_SHOW_AGAIN, MSG_KEY_STEP3);
    RegDeleteValue(Hive::CurrentUser, u"Software\\Nobody"_s, MSG_KEY_STEP3);
    EXPECT_EQ(readFile(userFile), before);
}

TEST_F(RegistryTest, DeletingFromAMissingStoreCreatesNothing) {
    RegDeleteValue(Hive::CurrentUser, KEY_QUILLMOTH, VALUE_TARGET_SIZE);
    EXPECT_FALSE(QFile::exists(userFile));
    EXPECT_FALSE(QFile::exists(temp.path() + u"/user"_s));
}

TEST_F(RegistryTest, CorruptStoreReadsAsDefaultsAndIsSetAsideOnWrite) {
    const QByteArray garbage("{\"Software\\\\Tarnwick\\\\Quillmoth\": {\"TargetSize\": \x01\xff");
    for (const QByteArray& content :
         {garbage, QByteArray(), QByteArray("[1, 2]"), QByteArray("\"just text\"")}) {
        writeFile(userFile, content);
        EXPECT_EQ(RegGetString(Hive::CurrentUser, KEY_QUILLMOTH, VALUE_TARGET_SIZE), QString());
        EXPECT_EQ(RegGetLong(Hive::CurrentUser, KEY_WISER_UPDATE, VALUE_UPDATE_CHECK_DAYS, 14), 14);
    }
    writeFile(userFile, garbage);
    storeString(KEY_QUILLMOTH, VALUE_TARGET_SIZE, u"300 x 300"_s);
    EXPECT_EQ(RegGetString(Hive::CurrentUser, KEY_QUILLMOTH, VALUE_TARGET_SIZE), u"300 x 300"_s);
    EXPECT_EQ(readFile(userFile + u".corrupt"_s), garbage);
}

TEST_F(RegistryTest, OversizedStoreIsTreatedAsCorrupt) {
    QByteArray huge =
        R"({"Software\\Tarnwick\\Quillmoth": {"TargetSize": {"type": "REG_SZ", "data": "x"}}, "pad": ")";
    huge.append(QByteArray(SettingsFile::MaxFileBytes, 'a'));
    huge.append("\"}");
    writeFile(userFile, huge);
    EXPECT_EQ(RegGetString(Hive::CurrentUser, KEY_QUILLMOTH, VALUE_TARGET_SIZE), QString());
}

TEST_F(RegistryTest, UnwritableStoreIsSilent) {
    // A plain file where the store's folder should be: no folder can be made.
    writeFile(temp.path() + u"/user"_s, "not a folder");
    storeString(KEY_QUILLMOTH, VALUE_TARGET_SIZE, u"300 x 300"_s);
    EXPECT_EQ(RegGetString(Hive::CurrentUser, KEY_QUILLMOTH, VALUE_TARGET_SIZE), QString());
    RegDeleteValue(Hive::CurrentUser, KEY_QUILLMOTH, VALUE_TARGET_SIZE);
    EXPECT_EQ(readFile(temp.path() + u"/user"_s), QByteArray("not a folder"));
}

TEST_F(RegistryTest, StoreThatIsAFolderIsSilent) {
    ASSERT_TRUE(QDir().mkpath(userFile));
    storeString(KEY_QUILLMOTH, VALUE_TARGET_SIZE, u"300 x 300"_s);
    EXPECT_EQ(RegGetString(Hive::CurrentUser, KEY_QUILLMOTH, VALUE_TARGET_SIZE), QString());
    EXPECT_TRUE(QFileInfo(userFile).isDir());
}

TEST_F(RegistryTest, MachineStoreIsReadOnly) {
    SettingsFile machine(machineFile);
    ASSERT_TRUE(machine.setValue(KEY_UPDATER_APP, VALUE_UPDATER_CHECK_DAYS, RegValue::dword(7)));
    const QByteArray before = readFile(machineFile);

    EXPECT_EQ(RegGetDword(Hive::LocalMachine, KEY_UPDATER_APP, VALUE_UPDATER_CHECK_DAYS, -1), 7);
    RegSetString(Hive::LocalMachine, KEY_UPDATER_APP, u"Other"_s, u"x"_s);
    RegSetDword(Hive::LocalMachine, KEY_UPDATER_APP, VALUE_UPDATER_CHECK_DAYS, 30);
    RegDeleteValue(Hive::LocalMachine, KEY_UPDATER_APP, VALUE_UPDATER_CHECK_DAYS);
    EXPECT_EQ(readFile(machineFile), before);
    EXPECT_EQ(RegGetDword(Hive::LocalMachine, KEY_UPDATER_APP, VALUE_UPDATER_CHECK_DAYS, -1), 7);
    // The hives are separate stores.
    EXPECT_EQ(RegGetDword(Hive::CurrentUser, KEY_UPDATER_APP, VALUE_UPDATER_CHECK_DAYS, -1), -1);
    EXPECT_FALSE(QFile::exists(userFile));
}

TEST_F(RegistryTest, ChangesByAnotherWriterAreSeenAtOnce) {
    storeString(KEY_QUILLMOTH, VALUE_TARGET_SIZE, u"first"_s);
    EXPECT_EQ(RegGetString(Hive::CurrentUser, KEY_QUILLMOTH, VALUE_TARGET_SIZE), u"first"_s);
    // Another running copy of the program writes the same store.
    SettingsFile(userFile).setValue(KEY_QUILLMOTH, VALUE_TARGET_SIZE,
                                    RegValue::string(u"second"_s));
    EXPECT_EQ(RegGetString(Hive::CurrentUser, KEY_QUILLMOTH, VALUE_TARGET_SIZE), u"second"_s);
}

TEST(RegistryFilesTest, DefaultsLiveInTheConfigFolders) {
    const RegistryFiles files = DefaultRegistryFiles();
    EXPECT_TRUE(files.currentUser.endsWith(u"/Tarnwick/Quillmoth/registry.json"_s));
    EXPECT_TRUE(files.currentUser.startsWith(
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)));
    EXPECT_EQ(files.localMachine, u"/etc/xdg/Tarnwick/Quillmoth/registry.json"_s);
}

} // namespace
