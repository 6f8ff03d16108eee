// quillmoth-cli scan: the scan without a window, over a real music folder.

#include "tests/common/TestFiles.h"

#include <QProcess>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using testing_support::TempFolder;

namespace {

struct CliRun {
    int exitCode = -1;
    QStringList lines;
    QString errors;
};

CliRun runCli(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral(QUILLMOTH_CLI), arguments);
    CliRun run;
    if (!process.waitForFinished(60000)) {
        ADD_FAILURE() << "quillmoth-cli did not finish";
        return run;
    }
    run.exitCode = process.exitCode();
    run.lines = QString::fromUtf8(process.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    run.errors = QString::fromUtf8(process.readAllStandardError());
    return run;
}

} // namespace

TEST(ScanCommand, PrintsBothListsInOrderThenTheCounts) {
    TempFolder music, data;
    const QString mp3 = music.copySeed(u"seed.mp3"_s, u"A/seed.mp3"_s);
    music.copySeed(u"cover-200.jpg"_s, u"A/Folder.jpg"_s);
    const QString m4a = music.copySeed(u"seed.m4a"_s, u"B/seed.m4a"_s);
    const QString wav = music.copySeed(u"seed.wav"_s, u"B/seed.wav"_s);
    const QStringList common = {u"--data-folder"_s, data.path(), u"--library"_s, music.path()};

    const CliRun all = runCli(common + QStringList{u"scan"_s});
    ASSERT_EQ(all.exitCode, 0) << all.errors.toStdString();
    ASSERT_EQ(all.lines.size(), 4);
    const QStringList first = all.lines[0].split(u'\t');
    ASSERT_EQ(first.size(), 8);
    EXPECT_EQ(first[0], u"eligible"_s);
    EXPECT_EQ(first[5], mp3);
    EXPECT_EQ(first[6], u"Folder.JPG "_s);
    EXPECT_EQ(first[7], u"1"_s);
    EXPECT_EQ(all.lines[1].split(u'\t').at(5), m4a);
    const QStringList last = all.lines[2].split(u'\t');
    EXPECT_EQ(last[0], u"ineligible"_s);
    EXPECT_EQ(last[5], wav);
    EXPECT_EQ(last[6], u"File format does not support embedding images"_s);
    EXPECT_EQ(last[7], u"0"_s);
    EXPECT_EQ(all.lines[3], u"counts\t2\t1"_s);

    // Songs without artwork stay listed whatever the filter says at scan time.
    const CliRun embeddedOnly = runCli(common + QStringList{u"scan"_s, u"--filter"_s, u"2"_s});
    ASSERT_EQ(embeddedOnly.exitCode, 0);
    EXPECT_EQ(embeddedOnly.lines.last(), u"counts\t1\t1"_s);
    EXPECT_EQ(embeddedOnly.lines[0].split(u'\t').at(5), m4a);
}

TEST(ScanCommand, RefusesABadFilter) {
    TempFolder music, data;
    const QStringList common = {u"--data-folder"_s, data.path(), u"--library"_s, music.path(),
                                u"scan"_s};
    for (const QStringList& bad :
         {QStringList{u"--filter"_s, u"256"_s}, QStringList{u"--filter"_s, u"x"_s},
          QStringList{u"--mask"_s, u"4"_s}, QStringList{u"--filter"_s}}) {
        const CliRun run = runCli(common + bad);
        EXPECT_EQ(run.exitCode, 2) << bad.join(u' ').toStdString();
        EXPECT_TRUE(run.lines.isEmpty());
    }
}
