// Measuring images from their headers and refusing images that must not
// get into a song, on real files.

#include "artwork/ImageCheck.h"
#include "artwork/ImageMeasure.h"
#include "tests/artwork/ArtworkTestSupport.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace artwork;
using namespace testing_support;

namespace {

TEST(ImageMeasure, SeedImagesMeasureByTheirHeaders) {
    const QList<std::pair<QString, int32_t>> cases{{u"cover-300.jpg"_s, 300 * 300},
                                                   {u"cover-160x120.png"_s, 160 * 120},
                                                   {u"cover-48.bmp"_s, 48 * 48},
                                                   {u"cover-600.jpg"_s, 600 * 600}};
    for (const auto& [seed, area] : cases) {
        EXPECT_EQ(GetFileXyprod(seedPath(seed)), area) << seed.toStdString();
        EXPECT_EQ(GetArtworkXyprod(readFile(seedPath(seed))), area) << seed.toStdString();
    }
}

TEST(ImageMeasure, WhatCannotBeReadOrIsAbsurdMeasuresZero) {
    TempFolder folder;
    const auto file = [&](const char* name, const QByteArray& bytes) {
        const QString path = folder.file(QString::fromLatin1(name));
        writeFile(path, bytes);
        return path;
    };
    EXPECT_EQ(GetFileXyprod(folder.file(u"missing.jpg"_s)), 0);
    EXPECT_EQ(GetFileXyprod(folder.path()), 0) << "a folder";
    EXPECT_EQ(GetFileXyprod(file("empty.jpg", {})), 0);
    EXPECT_EQ(GetFileXyprod(file("text.jpg", "this is no picture")), 0);
    EXPECT_EQ(GetFileXyprod(file("bomb.png", pngDeclaring(100000, 100000))), 0);
    EXPECT_EQ(GetArtworkXyprod(pngDeclaring(20000, 20000)), 0) << "400 megapixels";
    EXPECT_EQ(GetArtworkXyprod(pngDeclaring(0, 10)), 0);
    EXPECT_EQ(GetArtworkXyprod(pngDeclaring(640, 480)), 640 * 480) << "the header is enough";
    // A cut-short file still has its header: only the check refuses it.
    EXPECT_EQ(GetArtworkXyprod(truncatedJpeg()), 600 * 600);
}

TEST(ImageMeasure, TheCacheMeasuresAgainWhenTheFileChanges) {
    TempFolder folder;
    const QString path = folder.copySeed(u"cover-300.jpg"_s, u"Folder.jpg"_s);
    ImageMeasureCache cache;
    EXPECT_EQ(cache.fileXyprod(path), 300 * 300);
    folder.copySeed(u"cover-600.jpg"_s, u"Folder.jpg"_s); // another size (and length)
    EXPECT_EQ(cache.fileXyprod(path), 600 * 600);
    QFile::remove(path);
    EXPECT_EQ(cache.fileXyprod(path), 0);
}

TEST(ImageCheck, OnlyCompleteImagesOfSensibleSizePass) {
    for (const char* seed : {"cover-300.jpg", "cover-160x120.png", "cover-48.bmp", "cover-75.jpg"})
        EXPECT_EQ(ImageFileProblem(seedPath(QString::fromLatin1(seed))), QString()) << seed;

    TempFolder folder;
    const auto problem = [&](const QByteArray& bytes) {
        const QString path = folder.file(u"image.jpg"_s);
        writeFile(path, bytes);
        return ImageFileProblem(path);
    };
    for (const BadImage& bad : badImages())
        EXPECT_TRUE(problem(bad.bytes).contains(bad.reason)) << bad.name;
    const QByteArray png = readFile(seedPath(u"cover-160x120.png"_s));
    EXPECT_TRUE(problem(png.left(png.size() - 40)).contains(u"cut short"_s));
    const QByteArray bmp = readFile(seedPath(u"cover-48.bmp"_s));
    EXPECT_TRUE(problem(bmp.left(bmp.size() / 2)).contains(u"cut short"_s));
    EXPECT_TRUE(ImageFileProblem(folder.file(u"gone.jpg"_s)).contains(u"does not exist"_s));
    EXPECT_TRUE(problem("plain text").contains(folder.file(u"image.jpg"_s))) << "names the file";
}

} // namespace
