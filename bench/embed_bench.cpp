// quillmoth_embed_bench: the whole embedding run (quillmoth-cli embed,
// sources 1 and 3, target 320) on real-size songs, against the floor of
// copying and syncing the files that change, and against the tag tools a
// user would pick instead adding the same picture (mid3v2 and mutagen,
// eyeD3, kid3-cli; installed from Debian by bench/install-bench-tools.sh).
// See bench/README.md.
//
// Usage: quillmoth_embed_bench [--songs N] [--song-mb N] [--runs N] [--only rewrite|in-place]
//        [CACHE_DIR]

#include "bench/BenchLibrary.h"
#include "bench/BenchProcess.h"
#include "bench/BenchTiming.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QTextStream>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>

#include <fcntl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

using bench::ProcessRun;
using bench::runProcess;
using bench::Series;

struct Options {
    int songs = 1000;
    int songMegabytes = 4;
    int runs = 1;
    QString cache = u"/tmp/quillmoth-bench"_s;
    QString only; // "rewrite" or "in-place"; empty: both
};

bool parseOptions(const QStringList& arguments, Options& options) {
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        int* number = arguments[i] == u"--songs"_s     ? &options.songs
                      : arguments[i] == u"--song-mb"_s ? &options.songMegabytes
                      : arguments[i] == u"--runs"_s    ? &options.runs
                                                       : nullptr;
        if (number) {
            bool ok = false;
            *number = i + 1 < arguments.size() ? arguments[++i].toInt(&ok) : 0;
            if (!ok || *number < 1)
                return false;
        } else if (arguments[i] == u"--only"_s && i + 1 < arguments.size()) {
            options.only = arguments[++i];
        } else if (arguments[i].startsWith(u'-')) {
            return false;
        } else {
            options.cache = arguments[i];
        }
    }
    return true;
}

// The songs without a picture: those the run embeds into, and the only
// ones the other tools are given.
QStringList songsWithoutPicture(const QString& library, const bench::LibraryShape& shape) {
    const QStringList all = bench::mp3FilesBelow(library);
    QStringList bare;
    for (const QString& path : all) {
        // Titles are "Song NNNNN": every embeddedEvery-th song has a cover.
        const int number = QFileInfo(path).completeBaseName().section(u' ', -1).toInt();
        if (number % shape.embeddedEvery != 0)
            bare.append(path);
    }
    return bare;
}

bool copyTree(const QString& from, const QString& to) {
    QDir(to).removeRecursively();
    return runProcess({u"/bin/cp"_s, u"-a"_s, from, to}).succeeded;
}

// The floor: each changed file copied once beside itself, then one sync.
ProcessRun copyAndSync(const QStringList& files) {
    ProcessRun run;
    bool ok = true;
    run.seconds = bench::secondsOf([&] {
        for (const QString& path : files) {
            const QByteArray from = QFile::encodeName(path);
            const QByteArray to = from + ".floor";
            const int in = ::open(from.constData(), O_RDONLY);
            const int out = ::open(to.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            ok = ok && in >= 0 && out >= 0;
            char buffer[1 << 16];
            ssize_t n = 0;
            while (ok && (n = ::read(in, buffer, sizeof buffer)) > 0)
                ok = ::write(out, buffer, size_t(n)) == n;
            ::close(in);
            ::close(out);
        }
        ::sync();
    });
    run.succeeded = ok;
    return run;
}

// A tool run once per album folder, over the folder's songs without a
// picture, as a user would run it on the command line.
ProcessRun
perFolder(const QStringList& files,
          const std::function<QStringList(const QString& folder, const QStringList&)>& command) {
    QMap<QString, QStringList> folders;
    for (const QString& path : files)
        folders[QFileInfo(path).absolutePath()].append(path);
    ProcessRun total;
    total.succeeded = true;
    for (auto it = folders.cbegin(); it != folders.cend(); ++it) {
        const ProcessRun run = runProcess(command(it.key(), it.value()));
        total.seconds += run.seconds;
        total.peakMegabytes = std::max(total.peakMegabytes, run.peakMegabytes);
        total.succeeded = total.succeeded && run.succeeded;
    }
    return total;
}

// mutagen's own API in one process: the fastest any of these tools can be.
// With --fsync each file is flushed once it is saved, the least a durable
// write needs (and less than a write that survives being killed).
const char* const MutagenScript = R"(
import os, sys
from mutagen.id3 import ID3, APIC, ID3NoHeaderError
flush = sys.argv[1] == '--fsync'
for path in sys.argv[2:]:
    with open(path.rsplit('/', 1)[0] + '/Folder.jpg', 'rb') as f:
        data = f.read()
    try:
        tags = ID3(path)
    except ID3NoHeaderError:
        tags = ID3()
    tags.add(APIC(encoding=0, mime='image/jpeg', type=3, desc='', data=data))
    tags.save(path, v2_version=3)
    if flush:
        fd = os.open(path, os.O_RDONLY)
        os.fsync(fd)
        os.close(fd)
)";

// How many of files the scan lists with embedded artwork: the tools did
// the work (or, after deleting, none do).
int songsHolding(const QStringList& files, const QString& cli, const QString& library,
                 const QString& data) {
    const QString listing = data + u"/check.txt"_s;
    if (!runProcess({cli, u"--library"_s, library, u"--data-folder"_s, data, u"scan"_s}, listing)
             .succeeded)
        return -1;
    QFile file(listing);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    int holding = 0;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    for (const QString& line : lines) {
        const QStringList fields = line.split(u'\t');
        if (fields.size() == 8 && files.contains(fields[5]) && fields[6].contains(u"Embedded"_s))
            ++holding;
    }
    return holding;
}

int scenario(const Options& options, const QString& cache, bool padded) {
    bench::LibraryShape shape;
    shape.tracks = options.songs;
    shape.threeImagesPerFolder = true;
    shape.songBytes = qsizetype(options.songMegabytes) * 1024 * 1024;
    // Room in the tags: every tool can write in place.
    shape.tagPadding = padded ? 96 * 1024 : 0;
    const QString master =
        cache +
        (padded ? u"/embed-library-padded-%1"_s : u"/embed-library-%1"_s).arg(options.songs);
    if (!bench::ensureLibrary(master, shape))
        return 1;

    const QString cli = QStringLiteral(QUILLMOTH_CLI_PATH);
    // Every method works on its own fresh copy at the same place, so that
    // the engine's index (made once, untimed) fits each copy.
    const QString work = cache + u"/embed-work"_s;
    const QString data = cache + u"/embed-data"_s;
    const QStringList bare = songsWithoutPicture(master, shape);
    QStringList workFiles;
    for (const QString& path : bare)
        workFiles.append(work + path.mid(master.size()));
    // The songs with a cover: those that deleting changes.
    QStringList coveredFiles;
    for (const QString& path : bench::mp3FilesBelow(master))
        if (!bare.contains(path))
            coveredFiles.append(work + path.mid(master.size()));
    const QStringList cliWork{cli, u"--library"_s, work, u"--data-folder"_s, data};

    struct Method {
        QString name;
        std::function<ProcessRun()> run;
        bool available = true;
    };
    const bool haveMid3v2 = QFileInfo::exists(u"/usr/bin/mid3v2"_s);
    const bool haveEyeD3 = QFileInfo::exists(u"/usr/bin/eyeD3"_s);
    const bool haveKid3 = QFileInfo::exists(u"/usr/bin/kid3-cli"_s);
    const QString script = cache + u"/mutagen-add.py"_s;
    bench::writeFile(script, MutagenScript);
    const std::vector<Method> methods{
        {u"quillmoth-cli embed --sources 1,3 --target 320"_s,
         [&] {
             return runProcess(cliWork + QStringList{u"embed"_s, u"--sources"_s, u"1,3"_s,
                                                     u"--target"_s, u"320"_s});
         }},
        {u"floor: cp + sync of the changed files"_s, [&] { return copyAndSync(workFiles); }},
        {u"mid3v2 -p Folder.jpg (per folder)"_s,
         [&] {
             return perFolder(workFiles, [](const QString& folder, const QStringList& files) {
                 return QStringList{u"/usr/bin/mid3v2"_s, u"--picture="_s + folder +
                                                              u"/Folder.jpg:Cover:3:image/jpeg"_s} +
                        files;
             });
         },
         haveMid3v2},
        {u"mutagen API, one process"_s,
         [&] {
             return runProcess(QStringList{u"/usr/bin/python3"_s, script, u"--no-fsync"_s} +
                               workFiles);
         },
         haveMid3v2},
        {u"mutagen API + fsync of each file"_s,
         [&] {
             return runProcess(QStringList{u"/usr/bin/python3"_s, script, u"--fsync"_s} +
                               workFiles);
         },
         haveMid3v2},
        {u"eyeD3 --add-image (per folder)"_s,
         [&] {
             return perFolder(workFiles, [](const QString& folder, const QStringList& files) {
                 return QStringList{u"/usr/bin/eyeD3"_s, u"--quiet"_s, u"--add-image"_s,
                                    folder + u"/Folder.jpg:FRONT_COVER"_s} +
                        files;
             });
         },
         haveEyeD3},
        {u"kid3-cli set picture (per folder)"_s,
         [&] {
             return perFolder(workFiles, [](const QString& folder, const QStringList& files) {
                 return QStringList{u"/usr/bin/kid3-cli"_s, u"-c"_s,
                                    u"set picture:'"_s + folder + u"/Folder.jpg' ''"_s} +
                        files;
             });
         },
         haveKid3},
    };

    std::map<QString, Series> series;
    for (int r = 0; r < options.runs; ++r) {
        for (const Method& method : methods) {
            if (!method.available)
                continue;
            if (!copyTree(master, work)) {
                std::fprintf(stderr, "Cannot copy %s.\n", qPrintable(master));
                return 1;
            }
            // Warm the index and the page cache the same way for everyone.
            if (!runProcess(cliWork + QStringList{u"tracks"_s}).succeeded)
                return 1;
            ::sync();
            const ProcessRun run = method.run();
            if (!run.succeeded) {
                std::fprintf(stderr, "%s failed.\n", qPrintable(method.name));
                return 1;
            }
            if (!method.name.startsWith(u"floor"_s)) {
                const int holding = songsHolding(workFiles, cli, work, data);
                if (holding != workFiles.size()) {
                    std::fprintf(stderr, "%s embedded into %d of %lld songs.\n",
                                 qPrintable(method.name), holding, qlonglong(workFiles.size()));
                    return 1;
                }
            }
            series[method.name].add(run);
        }
        // Deleting every lone cover, against copying and syncing those songs.
        for (bool floor : {false, true}) {
            if (!copyTree(master, work) ||
                !runProcess(cliWork + QStringList{u"tracks"_s}).succeeded)
                return 1;
            ::sync();
            const ProcessRun run =
                floor ? copyAndSync(coveredFiles)
                      : runProcess(cliWork + QStringList{u"delete"_s, u"--single"_s, u"4"_s});
            if (!run.succeeded || (!floor && songsHolding(coveredFiles, cli, work, data) != 0)) {
                std::fprintf(stderr, "The delete run failed.\n");
                return 1;
            }
            series[floor ? u"delete floor"_s : u"delete"_s].add(run);
        }
    }
    QDir(work).removeRecursively();

    std::printf("\n%s\nLibrary: %s, %d songs of about %d MB, %d to an album folder, every "
                "third with a cover;\nevery folder a Folder.jpg (60 KB) and two other pictures. "
                "%lld songs get Folder.jpg.\nWhole processes, warm page cache, median of %d "
                "runs.\n\n",
                padded ? "ROOM IN THE TAGS (96 KB of padding): every tool writes in place"
                       : "NO ROOM IN THE TAGS: every tool rewrites the files",
                qPrintable(master), options.songs, options.songMegabytes, shape.songsPerAlbum,
                qlonglong(workFiles.size()), options.runs);
    const double ours = series[methods[0].name].time();
    const double floor = series[methods[1].name].time();
    std::printf("%-48s %9s %9s %10s %9s\n", "method", "seconds", "ms/song", "embed/this",
                "peak MB");
    double fastestTool = 0;
    double fastestFlushingTool = 0; // the tools that flush what they wrote
    for (const Method& method : methods) {
        if (!method.available) {
            std::printf("%-48s %9s\n", qPrintable(method.name), "(not installed)");
            continue;
        }
        const Series& s = series[method.name];
        std::printf("%-48s %9.2f %9.2f %9.2fx %9.1f\n", qPrintable(method.name), s.time(),
                    s.time() * 1000 / double(workFiles.size()), ours / s.time(), s.memory());
        if (method.name != methods[0].name && method.name != methods[1].name &&
            (fastestTool == 0 || s.time() < fastestTool))
            fastestTool = s.time();
        if (method.name.contains(u"fsync"_s) &&
            (fastestFlushingTool == 0 || s.time() < fastestFlushingTool))
            fastestFlushingTool = s.time();
    }
    const Series& deleting = series[u"delete"_s];
    const Series& deleteFloor = series[u"delete floor"_s];
    std::printf("%-48s %9.2f %9.2f %10s %9.1f\n", "quillmoth-cli delete --single 4",
                deleting.time(), deleting.time() * 1000 / double(coveredFiles.size()), "",
                deleting.memory());
    std::printf("%-48s %9.2f %9.2f\n", "floor: cp + sync of the covered songs", deleteFloor.time(),
                deleteFloor.time() * 1000 / double(coveredFiles.size()));
    std::printf("\ndelete / floor           %.2fx\n", deleting.time() / deleteFloor.time());
    const double peak = std::max(series[methods[0].name].memory(), deleting.memory());
    std::printf("\nembed / floor            %.2fx   target <= 1.25x   %s\n", ours / floor,
                ours / floor <= 1.25 ? "met" : "MISSED");
    if (fastestTool > 0)
        std::printf("embed / fastest tool     %.2fx   target <= 1x      %s\n", ours / fastestTool,
                    ours <= fastestTool ? "met" : "MISSED");
    if (fastestFlushingTool > 0)
        std::printf("embed / fastest flushing %.2fx\n", ours / fastestFlushingTool);
    std::printf("peak RSS                 %.1f MB target <= 150 MB %s\n", peak,
                peak <= 150 ? "met" : "MISSED");
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    Options options;
    if (!parseOptions(QCoreApplication::arguments(), options)) {
        QTextStream(stderr) << "Usage: quillmoth_embed_bench [--songs N] [--song-mb N] "
                               "[--runs N] [--only rewrite|in-place] [CACHE_DIR]\n";
        return 2;
    }
    const QString cache = QDir::cleanPath(QDir(options.cache).absolutePath());
    for (bool padded : {false, true}) {
        if (!options.only.isEmpty() && options.only != (padded ? u"in-place"_s : u"rewrite"_s))
            continue;
        if (const int status = scenario(options, cache, padded))
            return status;
    }
    return 0;
}
