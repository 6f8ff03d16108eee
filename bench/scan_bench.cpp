// quillmoth_scan_bench: the headless scan (quillmoth-cli scan) and the
// window's Step 1 on a large generated library, against listing the library
// with find. See bench/README.md.
//
// Usage: quillmoth_scan_bench [--tracks N] [--runs N] [--wav-every N]
//                             [--measure scan,sort,scroll,run] [CACHE_DIR]
// --wav-every N makes every N-th song a WAV file (the Ineligible list) in a
// library of its own; --measure picks the figures (default: scan).

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

struct Options {
    int tracks = 20000;
    int runs = 5;
    int wavEvery = 0;
    // What to measure: "scan" (the whole processes), and after Step 1 in one
    // window "sort", "scroll" and "run" (see WindowMeasures.h).
    QStringList measures{u"scan"_s};
    QString cache = u"/tmp/quillmoth-bench"_s;
};

bool parseOptions(const QStringList& arguments, Options& options) {
    static const QStringList known{u"scan"_s, u"sort"_s, u"scroll"_s, u"run"_s};
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& name = arguments[i];
        int* number = name == u"--tracks"_s      ? &options.tracks
                      : name == u"--runs"_s      ? &options.runs
                      : name == u"--wav-every"_s ? &options.wavEvery
                                                 : nullptr;
        if (number) {
            bool ok = false;
            *number = i + 1 < arguments.size() ? arguments[++i].toInt(&ok) : 0;
            if (!ok || *number < (number == &options.wavEvery ? 0 : 1))
                return false;
        } else if (name == u"--measure"_s) {
            if (++i >= arguments.size())
                return false;
            options.measures = arguments[i].split(u',', Qt::SkipEmptyParts);
            for (const QString& measure : options.measures) {
                if (!known.contains(measure))
                    return false;
            }
        } else if (name.startsWith(u'-')) {
            return false;
        } else {
            options.cache = name;
        }
    }
    return !options.measures.isEmpty();
}

qsizetype lineCount(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().count('\n') : -1;
}

// One window, opened on the library and scanned, then sorted, scrolled and
// run over its checked rows; its figures are printed as they came.
bool measureWindow(const QStringList& guiScan, const QStringList& measures, const QString& cache) {
    QStringList command = guiScan;
    for (const QString& measure : measures) {
        if (measure != u"scan"_s)
            command.append(u"--"_s + measure);
    }
    const QString output = cache + u"/gui-measures.txt"_s;
    const ProcessRun run = runProcess(command, output);
    QFile figures(output);
    if (figures.open(QIODevice::ReadOnly))
        std::fwrite(figures.readAll().constData(), 1, size_t(figures.size()), stdout);
    std::printf("%-46s %10.3f s   peak %.1f MB\n", "window process, all of the above", run.seconds,
                run.peakMegabytes);
    if (!run.succeeded)
        std::fprintf(stderr, "The window measures failed (see above and %s).\n",
                     qPrintable(output));
    return run.succeeded;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    Options options;
    if (!parseOptions(QCoreApplication::arguments(), options)) {
        QTextStream(stderr) << "Usage: quillmoth_scan_bench [--tracks N] [--runs N] "
                               "[--wav-every N] [--measure scan,sort,scroll,run] [CACHE_DIR]\n";
        return 2;
    }
    const int tracks = options.tracks;
    const int runs = options.runs;
    const QString cache = QDir::cleanPath(QDir(options.cache).absolutePath());
    const QString name = options.wavEvery > 0 ? u"%1-wav%2"_s.arg(tracks).arg(options.wavEvery)
                                              : QString::number(tracks);
    const QString library = cache + u"/library-"_s + name;
    const QString dataFolder = cache + u"/scan-data-"_s + name;
    bench::LibraryShape shape;
    shape.tracks = tracks;
    shape.wavEvery = options.wavEvery;
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
    std::printf("Library: %s, %d tracks in %d-song album folders with folder images%s\n",
                qPrintable(library), tracks, shape.songsPerAlbum,
                shape.wavEvery > 0 ? qPrintable(u", every %1th a WAV file"_s.arg(shape.wavEvery))
                                   : "");
    if (!options.measures.contains(u"scan"_s))
        return measureWindow(guiScan, options.measures, cache) ? 0 : 1;

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

    // Up to 20,000 songs the headless scan has a time of its own to meet and
    // 150 MB; beyond, only its ratio to find and 400 MB.
    const bool large = tracks > 20000;
    if (!large)
        bench::printLimit("headless scan", headless.time(), "s", 0.5);
    bench::printLimit("headless / find", headless.time() / find.time(), "x", 15);
    bench::printLimit("headless peak RSS", headless.memory(), "MB", large ? 400 : 150);
    bench::printLimit("window / headless", window.time() / headless.time(), "x", 1.5);
    bench::printLimit("window: Step 1 / headless scan", bench::median(stepOne) / headless.time(),
                      "x", 1.5);
    if (options.measures.size() > 1)
        return measureWindow(guiScan, options.measures, cache) ? 0 : 1;
    return 0;
}
