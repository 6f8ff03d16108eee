#include "support/Registry.h"
#include "support/RegistryKeys.h"
#include "support/RemovedArtworkSettings.h"
#include "support/SettingsFile.h"

#include "tests/common/TestFiles.h"
#include "tests/support/PrivateRegistry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace support;
using testing_support::readFile;
using testing_support::writeFile;

namespace {

class RegistryTest : public testing_support::PrivateRegistryTest {
protected:
    static void storeString(const QString& key, const QString& value, const QString& text) {
        RegSetString(Hive::CurrentUser, key, value, text);
    }
    static QString targetSize() {
        return RegGetString(Hive::CurrentUser, KEY_QUILLMOTH, VALUE_TARGET_SIZE);
    }
};

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

// Text of any characters comes back as it was stored, unless its UTF-8 form
// and the terminating null do not fit the reader's buffer: then it reads as
// empty rather than cut short.
TEST_F(RegistryTest, StringsRoundTripWhenTheyFitTheReadBuffer) {
    const struct {
        QString text;
        bool fits;
    } cases[] = {{u"/music/Ünïcødé \"quoted\" 'single' back\\slash"_s, true},
                 {u"line\nbreak\ttab\r\n"_s, true},
                 {u"\U0001F3B5 emoji and \u4E2D\u6587"_s, true},
                 {u"  surrounding blanks  "_s, true},
                 {QString(), true},
                 {QString(REG_STRING_MAX_BYTES - 1, u'a'), true},
                 {QString(REG_STRING_MAX_BYTES, u'a'), false},
                 // Two bytes per character in UTF-8: 512 of them no longer fit.
                 {QString(REG_STRING_MAX_BYTES / 2, QChar(0xE9)), false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.left(40).toStdString());
        storeString(KEY_QUILLMOTH, VALUE_LAST_LIBRARY, c.text);
        EXPECT_EQ(RegGetString(Hive::CurrentUser, KEY_QUILLMOTH, VALUE_LAST_LIBRARY),
                  c.fits ? c.text : QString());
    }
    EXPECT_EQ(RegGetString(Hive::CurrentUser, KEY_QUILLMOTH, VALUE_LAST_LIBRARY, 4096),
              QString(REG_STRING_MAX_BYTES / 2, QChar(0xE9)));
}

TEST_F(RegistryTest, BooleansReadTrueFalseOrTheDefault) {
    const struct {
        const char16_t* stored;
        bool defaultValue;
        bool expected;
    } cases[] = {{u" TRUE ", false, true}, {u"\tfalse\n", true, false}, {u"yes", true, true},
                 {u"yes", false, false},   {u"1", false, false},        {u"truely", false, false},
                 {u"", true, true}};
    for (const auto& c : cases) {
        const QString text = QString::fromUtf16(c.stored);
        SCOPED_TRACE(text.toStdString());
        storeString(KEY_WISER_UPDATE, VALUE_UPDATE_ENABLED, text);
        EXPECT_EQ(
            RegGetBool(Hive::CurrentUser, KEY_WISER_UPDATE, VALUE_UPDATE_ENABLED, c.defaultValue),
            c.expected);
    }
}

TEST_F(RegistryTest, NumbersReadAsTheyAlwaysHaveOrTheDefault) {
    const struct {
        const char16_t* stored;
        int expected; // with default 14
    } cases[] = {{u"abc", 14},        {u"0", 0},    {u" 30 ", 30}, {u"-1", -1},
                 {u"+7", 7},          {u"2.5", 2},  {u"3.5", 4},   {u"2147483647", 2147483647},
                 {u"2147483648", 14}, {u"inf", 14}, {u"nan", 14},  {u"-99999999999", 14},
                 {u"7 days", 14},     {u"", 14},    {u"   ", 14}};
    for (const auto& c : cases) {
        const QString text = QString::fromUtf16(c.stored);
        SCOPED_TRACE(text.toStdString());
        storeString(KEY_WISER_UPDATE, VALUE_UPDATE_CHECK_DAYS, text);
        EXPECT_EQ(RegGetLong(Hive::CurrentUser, KEY_WISER_UPDATE, VALUE_UPDATE_CHECK_DAYS, 14),
                  c.expected);
    }
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
    // Deleting from a store that does not exist yet creates nothing.
    RegDeleteValue(Hive::CurrentUser, KEY_QUILLMOTH, VALUE_TARGET_SIZE);
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(userFile).path()));

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

// Damaged stores, also one beyond the size a store of ours ever reaches,
// read as empty; the next write sets the damaged file aside.
TEST_F(RegistryTest, CorruptStoreReadsAsDefaultsAndIsSetAsideOnWrite) {
    const QByteArray garbage("{\"Software\\\\Tarnwick\\\\Quillmoth\": {\"TargetSize\": \x01\xff");
    QByteArray oversized =
        R"({"Software\\Tarnwick\\Quillmoth": {"TargetSize": {"type": "REG_SZ", "data": "x"}}, "pad": ")";
    oversized.append(QByteArray(SettingsFile::MaxFileBytes, 'a'));
    oversized.append("\"}");
    for (const QByteArray& content :
         {garbage, QByteArray(), QByteArray("[1, 2]"), QByteArray("\"just text\""), oversized}) {
        SCOPED_TRACE(content.left(40).toStdString());
        writeFile(userFile, content);
        EXPECT_EQ(targetSize(), QString());
        EXPECT_EQ(RegGetLong(Hive::CurrentUser, KEY_WISER_UPDATE, VALUE_UPDATE_CHECK_DAYS, 14), 14);
    }
    writeFile(userFile, garbage);
    storeString(KEY_QUILLMOTH, VALUE_TARGET_SIZE, u"300 x 300"_s);
    EXPECT_EQ(targetSize(), u"300 x 300"_s);
    EXPECT_EQ(readFile(userFile + u".corrupt"_s), garbage);
}

// A store that cannot be written drops writes silently and leaves in place
// whatever stands in its way.
TEST_F(RegistryTest, UnwritableStoreIsSilent) {
    const QString storeFolder = QFileInfo(userFile).path();
    for (const bool storeIsAFolder : {false, true}) {
        SCOPED_TRACE(storeIsAFolder ? "a folder where the store should be"
                                    : "a file where its folder should be");
        QDir(storeFolder).removeRecursively();
        QFile::remove(storeFolder);
        if (storeIsAFolder)
            ASSERT_TRUE(QDir().mkpath(userFile));
        else
            writeFile(storeFolder, "not a folder");
        storeString(KEY_QUILLMOTH, VALUE_TARGET_SIZE, u"300 x 300"_s);
        EXPECT_EQ(targetSize(), QString());
        RegDeleteValue(Hive::CurrentUser, KEY_QUILLMOTH, VALUE_TARGET_SIZE);
        if (storeIsAFolder)
            EXPECT_TRUE(QFileInfo(userFile).isDir());
        else
            EXPECT_EQ(readFile(storeFolder), QByteArray("not a folder"));
    }
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
    EXPECT_EQ(targetSize(), u"first"_s);
    // Another running copy of the program writes the same store.
    SettingsFile(userFile).setValue(KEY_QUILLMOTH, VALUE_TARGET_SIZE,
                                    RegValue::string(u"second"_s));
    EXPECT_EQ(targetSize(), u"second"_s);
}

constexpr qint64 MiB = qint64(1024) * 1024;

// Thirty days and a gigabyte unless the store holds sensible values; nothing
// out of range overflows or slips through.
TEST_F(RegistryTest, RemovedArtworkLimitsAreStoredOnesOrTheDefaults) {
    EXPECT_EQ(GetRemovedArtworkKeepDays(), 30);
    EXPECT_EQ(GetRemovedArtworkMaxBytes(), 1024 * MiB);
    const struct {
        const char16_t* days;
        const char16_t* megabytes;
        int expectedDays;
        qint64 expectedBytes;
    } cases[] = {{u" 7 ", u"64", 7, 64 * MiB},       {u"3650", u"1048576", 3650, 1024 * 1024 * MiB},
                 {u"0", u"0", 30, 1024 * MiB},       {u"3651", u"1048577", 30, 1024 * MiB},
                 {u"-5", u"15", 30, 1024 * MiB},     {u"many", u"", 30, 1024 * MiB},
                 {u"1e9", u"0x400", 30, 1024 * MiB}, {u"99999999999", u"-1", 30, 1024 * MiB}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << QString::fromUtf16(c.days).toStdString() << " / "
                                          << QString::fromUtf16(c.megabytes).toStdString());
        RegSetString(Hive::CurrentUser, KEY_REMOVED_ARTWORK, VALUE_REMOVED_KEEP_DAYS,
                     QString::fromUtf16(c.days));
        RegSetString(Hive::CurrentUser, KEY_REMOVED_ARTWORK, VALUE_REMOVED_MAX_MEGABYTES,
                     QString::fromUtf16(c.megabytes));
        EXPECT_EQ(GetRemovedArtworkKeepDays(), c.expectedDays);
        EXPECT_EQ(GetRemovedArtworkMaxBytes(), c.expectedBytes);
    }
}

} // namespace
