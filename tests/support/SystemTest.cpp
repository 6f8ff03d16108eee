#include "support/AppData.h"
#include "support/ShellFolders.h"
#include "support/SystemInfo.h"

#include "tests/common/ScriptedUi.h"
#include "tests/common/TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace support;
using testing_support::TempFolder;
using testing_support::writeFile;

namespace {

TEST(AppDataFolder, IsCreatedBelowTheDataFolderAndRemembered) {
    ResetAppDataFolder();
    const QString expected = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                             u"/Tarnwick/Quillmoth/"_s;
    QDir(expected).removeRecursively();
    EXPECT_EQ(AppDataFolder(), expected);
    EXPECT_TRUE(QFileInfo(expected).isDir());

    // Remembered: a second call neither recomputes nor recreates it.
    ASSERT_TRUE(QDir(expected).removeRecursively());
    EXPECT_EQ(AppDataFolder(), expected);
    EXPECT_FALSE(QFileInfo::exists(expected));
    ResetAppDataFolder();
    EXPECT_EQ(AppDataFolder(), expected);
    EXPECT_TRUE(QFileInfo(expected).isDir());
}

TEST(AppDataFolder, FallsBackToTheBaseFolderWhenItCannotBeCreated) {
    TempFolder temp;
    EXPECT_EQ(AppDataFolderBelow(temp.path()), temp.path() + u"/Tarnwick/Quillmoth/"_s);
    EXPECT_EQ(AppDataFolderBelow(temp.path() + u'/'), temp.path() + u"/Tarnwick/Quillmoth/"_s);

    TempFolder blocked;
    writeFile(blocked.path() + u"/Tarnwick"_s, "a file where the folder should be");
    EXPECT_EQ(AppDataFolderBelow(blocked.path()), blocked.path() + u'/');
}

TEST(GetSpecialFolder, MapsTheFoldersTheProgramUses) {
    const struct {
        int number;
        QStandardPaths::StandardLocation location;
    } known[] = {{CSIDL_LOCAL_APPDATA, QStandardPaths::GenericDataLocation},
                 {CSIDL_PERSONAL, QStandardPaths::DocumentsLocation},
                 {CSIDL_MYMUSIC, QStandardPaths::MusicLocation},
                 {CSIDL_MYPICTURES, QStandardPaths::PicturesLocation}};
    for (const auto& entry : known) {
        SCOPED_TRACE(entry.number);
        const QString folder = GetSpecialFolder(entry.number);
        EXPECT_FALSE(folder.isEmpty());
        EXPECT_FALSE(folder.endsWith(u'/'));
        EXPECT_EQ(QDir(folder), QDir(QStandardPaths::writableLocation(entry.location)));
        // The "create" flag of the shell's numbering does not change the folder.
        EXPECT_EQ(GetSpecialFolder(entry.number | 0x8000), folder);
    }
    for (int unknown : {0, 7, 26, 35, 255})
        EXPECT_EQ(GetSpecialFolder(unknown), QString()) << unknown;
}

TEST(SystemVersion, ReadsLeadingMajorAndMinor) {
    const struct {
        const char16_t* text;
        int major;
        int minor;
    } cases[] = {{u"6.1.0-18-amd64", 6, 1},
                 {u"5.15.153.1-microsoft-standard-WSL2", 5, 15},
                 {u"10", 10, 0},
                 {u"", 0, 0},
                 {u"unknown", 0, 0},
                 {u"-6.1", 0, 0}};
    for (const auto& c : cases) {
        const WindowsVersion version = ParseSystemVersion(QString::fromUtf16(c.text));
        EXPECT_EQ(version.major, c.major) << QString::fromUtf16(c.text).toStdString();
        EXPECT_EQ(version.minor, c.minor) << QString::fromUtf16(c.text).toStdString();
    }
    EXPECT_GT(GetWindowsVersion().major, 0);
    EXPECT_TRUE(IsVistaOrLater());
}

} // namespace
