// Image bytes as they come from a song, a folder or a download: measured
// from their header and checked for fitness as a cover, in memory and as a
// file whose name gives a format away.

#include "fuzz/FuzzSupport.h"

#include "artwork/ImageCheck.h"
#include "artwork/ImageMeasure.h"

using namespace artwork;
using namespace Qt::StringLiterals;

namespace {

void checkMeasured(const QSize& size) {
    if (size == QSize(0, 0))
        return;
    if (size.width() < 1 || size.height() < 1 || size.width() > MaxImageSide ||
        size.height() > MaxImageSide || qint64(size.width()) * size.height() > MaxImagePixels)
        fuzzing::fail("a measured size outside the accepted range");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzzing::ensureGuiApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = fuzzing::bytesOf(data, size);
    const QSize measured = ImageDataSize(bytes);
    checkMeasured(measured);
    if (GetArtworkXyprod(bytes) != PixelArea(measured))
        fuzzing::fail("the pixel area disagrees with the measured size");
    const bool fit = ImageDataProblem(u"cover"_s, bytes).isEmpty();
    if (fit && measured == QSize(0, 0))
        fuzzing::fail("an image of no size was found fit");

    // A folder image named by the format it claims to be.
    const QString name = bytes.startsWith("\x89PNG") ? u"Folder.png"_s
                         : bytes.startsWith("BM")    ? u"Folder.bmp"_s
                                                     : u"Folder.jpg"_s;
    const QString path = fuzzing::writeScratchFile(name, bytes);
    checkMeasured(ImageFileSize(path));
    GetFileXyprod(path);
    if (ImageFileProblem(path).isEmpty() != fit)
        fuzzing::fail("a file and its bytes are judged differently");
    ImageMeasureCache cache;
    cache.fileXyprod(path);
    fuzzing::clearScratchFolder();
    return 0;
}
