// quillmoth_scan_bench: the headless scan (quillmoth-cli scan) and the
// window's Step 1 on a large generated library, against listing the library
// with find. See bench/README.md.
//
// Usage: quillmoth_scan_bench [--tracks N] [--runs N] [CACHE_DIR]

#include "bench/BenchLibrary.h"
#include "bench/BenchProcess.h"
#include "bench/BenchTiming.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTextStream>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

using bench::ProcessRun;
using bench::runProcess;
using bench::Series;

bool parseOptions(const QStringList& arguments, int& tracks, int& runs, QString& cache) {
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        int* number = arguments[i] == u"--tracks"_s ? &tracks
                      : arguments[i] == u"--runs"_s ? &runs
                                                    : nullptr;
        if (number) {
            bool ok = false;
            *number = i + 1 < arguments.size() ? arguments[++i].toInt(&ok) : 0;
            if (!ok || *number < 1)
                return false;
        } else if (arguments[i].startsWith(u'-')) {
            return false;
        } else {
            cache = arguments[i];
        }
    }
    return true;
}

qsizetype lineCount(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().count('\n') : -1;
}

const char* verdict(bool met) {
    return met ? "met" : "MISSED";
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    int tracks = 20000;
    int runs = 5;
    QString cache = u"/tmp/quillmoth-bench"_s;
    if (!parseOptions(QCoreApplication::arguments(), tracks, runs, cache)) {
        QTextStream(stderr) << "Usage: quillmoth_scan_bench [--tracks N] [--runs N] [CACHE_DIR]\n";
        return 2;
    }
    cache = QDir::cleanPath(QDir(cache).absolutePath());
    const QString library = cache + u"/library-%1"_s.arg(tracks);
    const QString dataFolder = cache + u"/scan-data-%1"_s.arg(tracks);
    bench::LibraryShape shape;
    shape.tracks = tracks;
    if (!bench::ensureLibrary(library, shape))
        return 1;
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);

    const QString cli = QStringLiteral(QUILLMOTH_CLI_PATH);
    const QString gui = QStringLiteral(QUILLMOTH_GUI_SCAN_BENCH_PATH);
    const QStringList cliLibrary{cli, u"--library"_s, library, u"--data-folder"_s, dataFolder};
    const QStringList scan = cliLibrary + QStringList{u"scan"_s};
    const QString report = cache + u"/gui-scan-report.txt"_s;
    const QStringList guiScan{gui,        u"--library"_s, library, u"--data-folder"_s,
                              dataFolder, u"--report"_s,  report};
    const QStringList floor{u"/usr/bin/find"_s, library,       u"-type"_s, u"f"_s,
                            u"-printf"_s,       u"%s %T@\\n"_s};

    // One listing warms the engine's index; one scan proves the output whole.
    const QString listing = cache + u"/scan-output.txt"_s;
    if (!runProcess(cliLibrary + QStringList{u"tracks"_s}).succeeded ||
        !runProcess(scan, listing).succeeded || lineCount(listing) != tracks + 1) {
        std::fprintf(stderr, "quillmoth-cli did not scan %s completely (see %s).\n",
                     qPrintable(library), qPrintable(listing));
        return 1;
    }

    Series find, headless, window;
    std::vector<double> opening, stepOne;
    for (int r = 0; r < runs; ++r) {
        find.add(runProcess(floor));
        const ProcessRun cliRun = runProcess(scan);
        const ProcessRun guiRun = runProcess(guiScan);
        QFile figures(report);
        double open = 0, step = 0;
        int rows = 0;
        if (figures.open(QIODevice::ReadOnly))
            QTextStream(&figures) >> open >> step >> rows;
        if (!cliRun.succeeded || !guiRun.succeeded || rows != tracks) {
            std::fprintf(stderr, "A scan failed (headless %d, window %d, %d rows).\n",
                         int(cliRun.succeeded), int(guiRun.succeeded), rows);
            return 1;
        }
        headless.add(cliRun);
        window.add(guiRun);
        opening.push_back(open);
        stepOne.push_back(step);
    }

    std::printf("Library: %s, %d tracks in %d-song album folders with folder images\n",
                qPrintable(library), tracks, shape.songsPerAlbum);
    std::printf("Whole processes, index warm, page cache warm; median of %d runs.\n\n", runs);
    std::printf("%-44s %9s %9s\n", "measure", "seconds", "peak MB");
    std::printf("%-44s %9.3f %9.1f\n", "floor: find -type f -printf '%s %T@'", find.time(),
                find.memory());
    std::printf("%-44s %9.3f %9.1f\n", "quillmoth-cli scan", headless.time(), headless.memory());
    std::printf("%-44s %9.3f %9.1f\n", "window: open, Step 1, close (offscreen)", window.time(),
                window.memory());
    std::printf("%-44s %9.3f\n", "  of which opening the library and window",
                bench::median(opening));
    std::printf("%-44s %9.3f\n\n", "  of which Step 1", bench::median(stepOne));

    const double ratio = headless.time() / find.time();
    const double windowRatio = window.time() / headless.time();
    std::printf("headless scan            %.3f s   target <= 0.5 s    %s\n", headless.time(),
                verdict(headless.time() <= 0.5));
    std::printf("headless / find          %.1fx     target <= 15x      %s\n", ratio,
                verdict(ratio <= 15));
    std::printf("headless peak RSS        %.1f MB  target <= 150 MB   %s\n", headless.memory(),
                verdict(headless.memory() <= 150));
    std::printf("window / headless        %.2fx     target <= 1.5x     %s\n", windowRatio,
                verdict(windowRatio <= 1.5));
    return 0;
}
