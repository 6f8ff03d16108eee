// quillmoth_gui_scan_bench: opens the main window on a library, clicks
// "Step 1" and reports how long opening and scanning took. Run by
// quillmoth_scan_bench; runs under QT_QPA_PLATFORM=offscreen unless told
// otherwise.
//
// Usage: quillmoth_gui_scan_bench --library DIR --data-folder DIR [--report FILE]
//                                [--paints] [--sort] [--scroll] [--run]
// --paints also prints how many paint events each kind of widget received
// during Step 1: where a slow window scan spends its time. --sort, --scroll
// and --run go on after Step 1 with what a user does next (see
// WindowMeasures.h) and print their figures.

#include "bench/BenchTiming.h"
#include "bench/WindowMeasures.h"
#include "catalogue/CatalogueSession.h"
#include "mainwindow/CommandKeys.h"
#include "mainwindow/FormMain.h"
#include "mainwindow/ReviewCommands.h"
#include "mainwindow/StartUp.h"
#include "musiclibrary/Library.h"
#include "support/QtUiServices.h"
#include "support/Registry.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <QToolButton>
#include <QWindow>

#include <map>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

class SilentBeeper : public support::Beeper {
public:
    void beep() override {}
};

// Counts paint events by the class of the widget painted.
class PaintCounter : public QObject {
public:
    std::map<QString, int> counts;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++counts[QString::fromLatin1(watched->metaObject()->className())];
        return false;
    }
};

QString optionValue(const QStringList& arguments, const QString& name) {
    const qsizetype at = arguments.indexOf(name);
    return at > 0 && at + 1 < arguments.size() ? arguments[at + 1] : QString();
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const QString library = optionValue(arguments, u"--library"_s);
    const QString dataFolder = optionValue(arguments, u"--data-folder"_s);
    const QString report = optionValue(arguments, u"--report"_s);
    if (library.isEmpty() || dataFolder.isEmpty()) {
        QTextStream(stderr) << "Usage: quillmoth_gui_scan_bench --library DIR --data-folder DIR "
                               "[--report FILE] [--paints] [--sort] [--scroll] [--run]\n";
        return 2;
    }

    // The user's own settings stay untouched.
    QTemporaryDir settings;
    support::SetRegistryFiles(
        {settings.filePath(u"user.json"_s), settings.filePath(u"machine.json"_s)});
    bench::BenchMessages messages;
    support::QtEventPump events;
    SilentBeeper beeper;
    support::SystemClock clock;
    const support::UiServices services{&messages, &events, &beeper, &clock};

    std::unique_ptr<mainwindow::FormMain> window;
    const double opening = bench::secondsOf([&] {
        window = mainwindow::StartMainWindow(
            services, [&] { return musiclibrary::openLibrary(library, {dataFolder}); });
    });
    if (!window)
        return 1;
    // Edit > Check All and the other review commands, as the program wires them.
    mainwindow::InstallReviewCommands(*window);
    window->show();
    QElapsedTimer exposing;
    exposing.start();
    while (!(window->windowHandle() && window->windowHandle()->isExposed()) &&
           exposing.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);

    // The click returns when the scan has ended: it runs on this thread and
    // lets window events run after each track.
    PaintCounter paints;
    if (arguments.contains(u"--paints"_s))
        app.installEventFilter(&paints);
    const double scanning =
        bench::secondsOf([&] { window->toolbarButton(mainwindow::keys::Step1)->click(); });
    app.removeEventFilter(&paints);
    for (const auto& [widgetClass, count] : paints.counts)
        QTextStream(stdout) << count << " paint events: " << widgetClass << '\n';
    const catalogue::TabCounts& counts = window->session().Counts;
    const int rows = counts.gEligibleSongs() + counts.gInEligibleSongs();
    const bool sort = arguments.contains(u"--sort"_s);
    const bool scroll = arguments.contains(u"--scroll"_s);
    const bool runs = arguments.contains(u"--run"_s);
    if (sort || scroll || runs)
        QTextStream(stdout) << "Step 1: " << scanning << " s, " << counts.gEligibleSongs()
                            << " eligible and " << counts.gInEligibleSongs()
                            << " ineligible songs\n";
    bool measured = !messages.failed;
    if (measured && sort)
        measured = bench::measureHeaderSorts(*window);
    if (measured && scroll)
        measured = bench::measureScrolling(*window);
    if (measured && runs)
        measured = bench::measureRunAndStop(*window, messages);
    window.reset();
    support::ResetRegistryFiles();

    if (!report.isEmpty()) {
        QFile file(report);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 1;
        QTextStream(&file) << opening << ' ' << scanning << ' ' << rows << '\n';
    } else {
        QTextStream(stdout) << "open " << opening << " s, scan " << scanning << " s, " << rows
                            << " rows\n";
    }
    return measured && !messages.failed ? 0 : 1;
}
