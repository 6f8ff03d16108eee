#include "support/RemovedArtworkSettings.h"
#include "support/Registry.h"
#include "support/RegistryKeys.h"

#include "tests/common/TestFiles.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace support;
using testing_support::TempFolder;
using testing_support::writeFile;

namespace {

class RemovedArtworkSettingsTest : public ::testing::Test {
protected:
    void SetUp() override { SetRegistryFiles({userFile, machineFile}); }
    void TearDown() override { ResetRegistryFiles(); }

    static void store(const QString& days, const QString& megabytes) {
        RegSetString(Hive::CurrentUser, KEY_REMOVED_ARTWORK, VALUE_REMOVED_KEEP_DAYS, days);
        RegSetString(Hive::CurrentUser, KEY_REMOVED_ARTWORK, VALUE_REMOVED_MAX_MEGABYTES,
                     megabytes);
    }

    TempFolder temp;
    const QString userFile = temp.file(u"user.json"_s);
    const QString machineFile = temp.file(u"machine.json"_s);
};

TEST_F(RemovedArtworkSettingsTest, ThirtyDaysAndAGigabyteUnlessToldOtherwise) {
    EXPECT_EQ(GetRemovedArtworkKeepDays(), 30);
    EXPECT_EQ(GetRemovedArtworkMaxBytes(), qint64(1024) * 1024 * 1024);

    store(u" 7 "_s, u"64"_s);
    EXPECT_EQ(GetRemovedArtworkKeepDays(), 7);
    EXPECT_EQ(GetRemovedArtworkMaxBytes(), qint64(64) * 1024 * 1024);
    store(u"3650"_s, u"1048576"_s);
    EXPECT_EQ(GetRemovedArtworkKeepDays(), 3650);
    EXPECT_EQ(GetRemovedArtworkMaxBytes(), qint64(1024) * 1024 * 1024 * 1024) << "no overflow";
}

TEST_F(RemovedArtworkSettingsTest, NonsenseAndValuesOutOfRangeGiveTheDefaults) {
    const QList<QPair<QString, QString>> nonsense = {
        {u"0"_s, u"0"_s},   {u"-5"_s, u"15"_s},     {u"3651"_s, u"1048577"_s},
        {u"many"_s, u""_s}, {u"1e9"_s, u"0x400"_s}, {u"99999999999"_s, u"-1"_s}};
    for (const auto& [days, megabytes] : nonsense) {
        store(days, megabytes);
        EXPECT_EQ(GetRemovedArtworkKeepDays(), 30) << days.toStdString();
        EXPECT_EQ(GetRemovedArtworkMaxBytes(), qint64(1024) * 1024 * 1024)
            << megabytes.toStdString();
    }
    // A settings file that is not one at all.
    writeFile(userFile, "\xff\xfe{not json");
    EXPECT_EQ(GetRemovedArtworkKeepDays(), 30);
}

} // namespace
