// quillmoth_engine_bench: the music library engine against the floors that
// bound it, on a large generated library of MP3 files. See bench/README.md.
//
// Usage: quillmoth_engine_bench [--tracks N] [--writes N] [--repeat N] [CACHE_DIR]

#include "bench/BenchLibrary.h"
#include "bench/BenchTiming.h"
#include "musiclibrary/Library.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <taglib/attachedpictureframe.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/tfilestream.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

using namespace Qt::StringLiterals;

namespace {

struct Options {
    QString cacheFolder = u"/tmp/quillmoth-bench"_s;
    int tracks = 20000;
    int writes = 1000;
    int repeat = 3;
};

bool parseOptions(const QStringList& arguments, Options& options) {
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        int* number = argument == u"--tracks"_s   ? &options.tracks
                      : argument == u"--writes"_s ? &options.writes
                      : argument == u"--repeat"_s ? &options.repeat
                                                  : nullptr;
        if (number) {
            bool ok = false;
            *number = i + 1 < arguments.size() ? arguments[++i].toInt(&ok) : 0;
            if (!ok || *number < 1)
                return false;
        } else if (argument.startsWith(u'-')) {
            return false;
        } else {
            options.cacheFolder = argument;
        }
    }
    return true;
}

// What the floors read, summed so that no work can be left out.
struct TagSums {
    qint64 characters = 0;
    qint64 pictures = 0;
    qint64 pictureBytes = 0;
};

// The bare TagLib loop: each file opened read-only through a FileStream,
// audio properties not read, the four tags and the picture frames taken.
TagSums readTagsWithTagLib(const QStringList& files) {
    TagSums sums;
    for (const QString& path : files) {
        const QByteArray name = QFile::encodeName(path);
        TagLib::FileStream stream(name.constData(), true);
        TagLib::MPEG::File file(&stream, TagLib::ID3v2::FrameFactory::instance(), false);
        TagLib::ID3v2::Tag* tag = file.ID3v2Tag();
        if (!tag)
            continue;
        sums.characters +=
            tag->title().size() + tag->artist().size() + tag->album().size() + tag->track();
        for (const TagLib::ID3v2::Frame* frame : tag->frameList("APIC")) {
            ++sums.pictures;
            if (auto apic = dynamic_cast<const TagLib::ID3v2::AttachedPictureFrame*>(frame))
                sums.pictureBytes += apic->picture().size();
        }
    }
    return sums;
}

qint64 walkAndStat(const QString& folder) {
    qint64 bytes = 0;
    namespace fs = std::filesystem;
    for (const fs::directory_entry& entry :
         fs::recursive_directory_iterator(QFile::encodeName(folder).toStdString())) {
        struct stat st;
        if (::stat(entry.path().c_str(), &st) == 0)
            bytes += st.st_size;
    }
    return bytes;
}

// The floor of adding: TagLib appends the frame and saves the file in place,
// with no copy, no check and (unless durable) no flush.
bool addPictureWithTagLib(const QString& path, const QByteArray& image, bool durable) {
    const QByteArray name = QFile::encodeName(path);
    {
        TagLib::FileStream stream(name.constData(), false);
        TagLib::MPEG::File file(&stream, TagLib::ID3v2::FrameFactory::instance(), false);
        auto frame = new TagLib::ID3v2::AttachedPictureFrame;
        frame->setMimeType("image/jpeg");
        frame->setType(TagLib::ID3v2::AttachedPictureFrame::FrontCover);
        frame->setPicture(TagLib::ByteVector(image.constData(), uint(image.size())));
        file.ID3v2Tag(true)->addFrame(frame);
        if (!file.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripNone, TagLib::ID3v2::v3,
                       TagLib::File::DoNotDuplicate))
            return false;
    }
    if (durable) {
        const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
        const bool synced = fd >= 0 && ::fdatasync(fd) == 0;
        if (fd >= 0)
            ::close(fd);
        const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
        const int dir = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dir >= 0) {
            ::fsync(dir);
            ::close(dir);
        }
        return synced;
    }
    return true;
}

musiclibrary::ITunesPtr openWithFreshIndex(const QString& library, const QString& dataFolder) {
    QDir(dataFolder).removeRecursively();
    return musiclibrary::openLibrary(library, {dataFolder});
}

int run(const Options& options) {
    const QString cache = QDir::cleanPath(QDir(options.cacheFolder).absolutePath());
    const QString library = cache + u"/library-%1"_s.arg(options.tracks);
    const QString dataFolder = cache + u"/engine-data-%1"_s.arg(options.tracks);
    bench::LibraryShape shape;
    shape.tracks = options.tracks;
    if (!bench::ensureLibrary(library, shape))
        return 1;
    const QStringList files = bench::mp3FilesBelow(library);
    const double tracks = double(files.size());
    const int expectedPictures = (options.tracks + shape.embeddedEvery - 1) / shape.embeddedEvery;
    std::printf("Library: %s, %lld MP3 files, %d with a %lld-byte JPEG embedded\n",
                qPrintable(library), qlonglong(files.size()), expectedPictures,
                qlonglong(shape.coverBytes));
    std::printf("All figures warm-cache (the page cache cannot be dropped here), median of %d.\n\n",
                options.repeat);

    // Warms the page cache, so that the engine and its floor read from memory alike.
    const TagSums warm = readTagsWithTagLib(files);
    if (warm.pictures != expectedPictures) {
        std::fprintf(stderr, "The library holds %lld pictures, not %d.\n", qlonglong(warm.pictures),
                     expectedPictures);
        return 1;
    }

    // (a) Cold indexing against the bare TagLib loop.
    std::vector<double> cold, coldFloor;
    musiclibrary::ITunesPtr opened;
    for (int r = 0; r < options.repeat; ++r) {
        coldFloor.push_back(bench::secondsOf([&] { readTagsWithTagLib(files); }));
        opened.reset();
        QDir(dataFolder).removeRecursively();
        cold.push_back(
            bench::secondsOf([&] { opened = musiclibrary::openLibrary(library, {dataFolder}); }));
    }
    const int trackCount = opened->LibraryPlaylist()->Tracks()->Count();
    if (trackCount != files.size()) {
        std::fprintf(stderr, "The engine found %d tracks, not %lld.\n", trackCount,
                     qlonglong(files.size()));
        return 1;
    }

    // (b) Warm reopening against listing and stat-ing every file.
    std::vector<double> warmOpen, warmFloor;
    for (int r = 0; r < options.repeat; ++r) {
        warmFloor.push_back(bench::secondsOf([&] { walkAndStat(library); }));
        opened.reset();
        warmOpen.push_back(
            bench::secondsOf([&] { opened = musiclibrary::openLibrary(library, {dataFolder}); }));
    }

    // (c) The artwork count of every track.
    std::vector<double> counting;
    qint64 pictures = 0;
    for (int r = 0; r < options.repeat; ++r) {
        pictures = 0;
        counting.push_back(bench::secondsOf([&] {
            const musiclibrary::TrackCollectionPtr all = opened->LibraryPlaylist()->Tracks();
            const int count = all->Count();
            for (int i = 1; i <= count; ++i)
                pictures += all->Item(i)->Artwork()->Count();
        }));
    }
    if (pictures != expectedPictures) {
        std::fprintf(stderr, "The engine counted %lld pictures, not %d.\n", qlonglong(pictures),
                     expectedPictures);
        return 1;
    }
    opened.reset();

    // (d) Adding one 40 KB JPEG to fresh files, through the engine and with TagLib.
    const QByteArray cover = bench::paddedJpeg(shape.coverBytes);
    const QString coverPath = cache + u"/cover-40k.jpg"_s;
    const QString engineFiles = cache + u"/add-engine"_s;
    const QString floorFiles = cache + u"/add-floor"_s;
    const QString durableFiles = cache + u"/add-floor-durable"_s;
    if (!bench::writeFile(coverPath, cover) ||
        !bench::makeScratchFiles(engineFiles, options.writes) ||
        !bench::makeScratchFiles(floorFiles, options.writes) ||
        !bench::makeScratchFiles(durableFiles, options.writes))
        return 1;
    const musiclibrary::ITunesPtr scratch =
        openWithFreshIndex(engineFiles, cache + u"/add-engine-data"_s);
    const musiclibrary::TrackCollectionPtr scratchTracks = scratch->LibraryPlaylist()->Tracks();
    const int writes = scratchTracks->Count();
    const double adding = bench::secondsOf([&] {
        for (int i = 1; i <= writes; ++i)
            scratchTracks->Item(i)->AddArtworkFromFile(coverPath);
    });
    bool floorOk = true;
    const QStringList floorList = bench::mp3FilesBelow(floorFiles);
    const double addingFloor = bench::secondsOf([&] {
        for (const QString& path : floorList)
            floorOk = addPictureWithTagLib(path, cover, false) && floorOk;
    });
    const QStringList durableList = bench::mp3FilesBelow(durableFiles);
    const double addingDurable = bench::secondsOf([&] {
        for (const QString& path : durableList)
            floorOk = addPictureWithTagLib(path, cover, true) && floorOk;
    });
    if (!floorOk || writes != floorList.size()) {
        std::fprintf(stderr, "The TagLib floor of adding failed.\n");
        return 1;
    }

    const auto perTrack = [](double seconds, double count) { return seconds * 1000 / count; };
    bench::printFigures(
        {
            {"(a) cold indexing", perTrack(bench::median(cold), tracks),
             perTrack(bench::median(coldFloor), tracks), 1.5},
            {"(b) warm reopening", perTrack(bench::median(warmOpen), tracks),
             perTrack(bench::median(warmFloor), tracks), 3},
            {"(c) Artwork()->Count(), all", perTrack(bench::median(counting), tracks), 0, 0},
            {"(d) AddArtworkFromFile 40 KB", perTrack(adding, writes),
             perTrack(addingFloor, writes), 2},
            {"    vs TagLib save + fdatasync", perTrack(adding, writes),
             perTrack(addingDurable, writes), 0},
        },
        "ms/track");
    std::printf("\nTotals: cold %.3f s (TagLib loop %.3f s), warm %.3f s (walk+stat %.3f s), "
                "count %.3f s; adding %d: %.3f s (TagLib %.3f s, durable %.3f s)\n",
                bench::median(cold), bench::median(coldFloor), bench::median(warmOpen),
                bench::median(warmFloor), bench::median(counting), writes, adding, addingFloor,
                addingDurable);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    Options options;
    if (!parseOptions(QCoreApplication::arguments(), options)) {
        QTextStream(stderr)
            << "Usage: quillmoth_engine_bench [--tracks N] [--writes N] [--repeat N] [CACHE_DIR]\n"
               "  CACHE_DIR defaults to /tmp/quillmoth-bench; the library made there is kept.\n";
        return 2;
    }
    try {
        return run(options);
    } catch (const musiclibrary::LibraryError& error) {
        QTextStream(stderr) << error.description() << '\n';
        return 1;
    }
}
