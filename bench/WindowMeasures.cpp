#include "bench/WindowMeasures.h"

#include "artwork/ArtworkRun.h"
#include "artwork/DownloadRuns.h"
#include "bench/BenchTiming.h"
#include "catalogue/CatalogueSession.h"
#include "mainwindow/CommandKeys.h"
#include "mainwindow/FormMain.h"
#include "mainwindow/UcProgress.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QHeaderView>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTextStream>
#include <QTimer>
#include <QTreeView>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

using namespace Qt::StringLiterals;

namespace bench {

int BenchMessages::show(const QString& text, const QString&, int, int icon) {
    if (acceptInformation && icon == support::MbInformation) {
        ++informationShown;
        return support::IdOk;
    }
    failed = true;
    QTextStream(stderr) << "Message: " << text << '\n';
    return support::IdCancel;
}

int BenchMessages::showWithCheckBox(const QString& text, const QString& title, int buttons,
                                    int icon, bool* dontShowAgain) {
    if (dontShowAgain)
        *dontShowAgain = false;
    return show(text, title, buttons, icon);
}

namespace {

using Clock = std::chrono::steady_clock;

double secondsBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

// Lets the window handle whatever is queued, its repaints included.
void runPendingEvents() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

void showTab(mainwindow::FormMain& window, int tab) {
    window.TabMain()->setCurrentIndex(tab);
    runPendingEvents();
}

const char* listName(int tab) {
    return tab == catalogue::TAB_ELIGIBLE ? "Eligible" : "Ineligible";
}

// A left click in the middle of the column's header section (scrolled into
// view first), as the mouse delivers it: press, then release.
bool clickHeader(QTreeView& view, int column) {
    QHeaderView& header = *view.header();
    QWidget& surface = *header.viewport();
    if (header.sectionViewportPosition(column) < 0 ||
        header.sectionViewportPosition(column) + header.sectionSize(column) > surface.width()) {
        view.horizontalScrollBar()->setValue(header.sectionPosition(column));
        runPendingEvents();
    }
    const int left = header.sectionViewportPosition(column);
    const int right = std::min(left + header.sectionSize(column), surface.width());
    const QPointF at((left + right) / 2.0, surface.height() / 2.0);
    if (header.logicalIndexAt(at.toPoint()) != column)
        return false;
    const QPointF global = surface.mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(&surface, &press);
    QApplication::sendEvent(&surface, &release);
    return true;
}

} // namespace

bool measureHeaderSorts(mainwindow::FormMain& window) {
    std::array<double, catalogue::SongColumnCount> worst{};
    std::printf("\nSorting by a header click, seconds from the click to the list repainted:\n");
    std::printf("%-26s %-28s %10s %10s\n", "list", "column", "ascending", "descending");
    for (int tab : {catalogue::TAB_ELIGIBLE, catalogue::TAB_INELIGIBLE}) {
        showTab(window, tab);
        QTreeView& view = *window.ListMain(tab);
        const catalogue::SongList& list = window.session().ListMain(tab);
        for (int column = 0; column < catalogue::SongColumnCount; ++column) {
            // The first click makes the column the sort column in the
            // current direction; the next ones turn the direction (a column
            // that never went descending goes descending first), so three
            // clicks see both orders.
            std::array<double, 2> byOrder{};
            std::array<bool, 2> seen{};
            for (int click = 0; click < 3 && !(seen[0] && seen[1]); ++click) {
                bool clicked = false;
                // Up to the rows drawn in their new order: the view lays
                // itself out again when it next paints, so it is made to
                // paint now (once more than needed when it already has).
                const double seconds = secondsOf([&] {
                    clicked = clickHeader(view, column);
                    runPendingEvents();
                    view.viewport()->repaint();
                    view.header()->viewport()->repaint();
                });
                if (!clicked || list.sortColumn() != column) {
                    std::fprintf(stderr, "The click on header %d of the %s list did not sort.\n",
                                 column, listName(tab));
                    return false;
                }
                const size_t order = list.sortOrder() == Qt::AscendingOrder ? 0 : 1;
                byOrder[order] = std::max(byOrder[order], seconds);
                seen[order] = true;
                worst[size_t(column)] = std::max(worst[size_t(column)], seconds);
            }
            if (!(seen[0] && seen[1])) {
                std::fprintf(stderr, "Header %d of the %s list did not sort both ways.\n", column,
                             listName(tab));
                return false;
            }
            std::printf(
                "%-26s %-28s %10.3f %10.3f\n",
                qPrintable(
                    u"%1 (%2 rows)"_s.arg(QString::fromLatin1(listName(tab))).arg(list.rowCount())),
                qPrintable(list.model().columnHeader(list.model().kind(), column)), byOrder[0],
                byOrder[1]);
        }
    }
    for (int column = 0; column < catalogue::SongColumnCount; ++column)
        printLimit("sort by column " + std::to_string(column + 1) + ", worst of lists and orders",
                   worst[size_t(column)], "s", 0.3);
    showTab(window, catalogue::TAB_ELIGIBLE);
    return true;
}

bool measureScrolling(mainwindow::FormMain& window) {
    std::printf("\nScrolling top to bottom, a page per turn of the event loop; gaps between "
                "turns:\n");
    std::printf("%-26s %8s %9s %9s %9s %9s\n", "list", "turns", "total s", "median s", "p99 s",
                "max s");
    for (int tab : {catalogue::TAB_ELIGIBLE, catalogue::TAB_INELIGIBLE}) {
        showTab(window, tab);
        QTreeView& view = *window.ListMain(tab);
        view.scrollToTop();
        runPendingEvents();
        QScrollBar& bar = *view.verticalScrollBar();
        std::vector<double> gaps;
        QEventLoop loop;
        QTimer turn;
        turn.setInterval(0);
        QElapsedTimer clock;
        qint64 last = 0;
        QObject::connect(&turn, &QTimer::timeout, &loop, [&] {
            const qint64 now = clock.nsecsElapsed();
            gaps.push_back(double(now - last) / 1e9);
            last = now;
            if (bar.value() >= bar.maximum()) {
                loop.quit();
                return;
            }
            bar.triggerAction(QAbstractSlider::SliderPageStepAdd);
        });
        clock.start();
        turn.start();
        loop.exec();
        turn.stop();
        const double total = double(clock.nsecsElapsed()) / 1e9;
        const int rows = window.session().ListMain(tab).rowCount();
        std::printf("%-26s %8zu %9.3f %9.4f %9.4f %9.4f\n",
                    qPrintable(u"%1 (%2 rows)"_s.arg(QString::fromLatin1(listName(tab))).arg(rows)),
                    gaps.size(), total, median(gaps), percentile(gaps, 0.99),
                    gaps.empty() ? 0.0 : *std::max_element(gaps.begin(), gaps.end()));
        if (rows > 0 && gaps.size() < 2) {
            std::fprintf(stderr, "The %s list did not scroll.\n", listName(tab));
            return false;
        }
    }
    showTab(window, catalogue::TAB_ELIGIBLE);
    return true;
}

namespace {

struct ProgressSample {
    double seconds = 0; // since the run started
    int value = 0;      // rows the panel counts
    int percent = 0;    // what the bar shows
};

struct RunFigures {
    double seconds = 0;
    bool stopped = false;
    int rowsCounted = 0; // the panel's value at the end
    // From the Stop click to the run having ended, and to the click having
    // reached the window; negative when no click was made.
    double stopToEnd = -1;
    double stopToDelivery = -1;
    std::vector<ProgressSample> samples;
};

// Edit > Check All or Uncheck All, as the menu does it. Returns the seconds
// it took, or a negative number when not every row ended up that way.
double setAllChecks(mainwindow::FormMain& window, bool checked) {
    const double seconds = secondsOf([&] {
        Q_EMIT window.MenuEdit()->aboutToShow();
        window.menuItem(checked ? u"ItemEditCheckAll"_s : u"ItemEditUncheckAll"_s)->trigger();
        runPendingEvents();
    });
    const catalogue::SongList& list = window.session().Eligible;
    const bool allChecked = list.HasAtLeastNChecked(list.rowCount());
    const bool noneChecked = !list.HasAtLeastNChecked(1);
    return (checked ? allChecked : noneChecked) ? seconds : -1;
}

// One run over the checked rows, started the way the Step 3 menu starts
// it (the deferred wizard start, with the busy flag held) and past its
// wizard; stopAfter >= 0 clicks Stop that many seconds into the run, from
// another thread, so that the click waits for the window's next turn as a
// real one does.
RunFigures runOnce(mainwindow::FormMain& window, double stopAfter) {
    RunFigures figures;
    mainwindow::UcProgress& progress = *window.ProgressMain();
    QPushButton* stop = progress.stopButton();
    Clock::time_point started, ended, clicked, delivered;
    bool clickMade = false;
    bool deliveredSeen = false;
    std::atomic<bool> over{false};
    const QMetaObject::Connection onStop =
        QObject::connect(&progress, &mainwindow::UcProgress::CancelClicked, [&] {
            delivered = Clock::now();
            deliveredSeen = true;
        });
    QTimer sampler;
    sampler.setInterval(50);
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        figures.samples.push_back(
            {secondsBetween(started, Clock::now()), progress.value(), progress.barPercent()});
    });
    QEventLoop loop;
    window.dispatch().setWizardOperation(mainwindow::keys::EmbedDownloadedArtwork, [&] {
        catalogue::RunEnvironment environment{progress, window.ui(), &window.runView()};
        artwork::ArtworkRunContext context{window.session(), environment};
        started = Clock::now();
        std::thread stopper;
        if (stopAfter >= 0) {
            stopper = std::thread([&] {
                std::this_thread::sleep_until(started +
                                              std::chrono::duration_cast<Clock::duration>(
                                                  std::chrono::duration<double>(stopAfter)));
                if (over)
                    return;
                clicked = Clock::now();
                clickMade = true;
                QMetaObject::invokeMethod(
                    stop, [stop] { stop->click(); }, Qt::QueuedConnection);
            });
        }
        sampler.start();
        artwork::DoEmbedDownloaded2(context);
        ended = Clock::now();
        over = true;
        sampler.stop();
        if (stopper.joinable())
            stopper.join();
        loop.quit();
    });
    window.dispatch().wizardChosen(mainwindow::keys::EmbedDownloadedArtwork);
    loop.exec();
    QObject::disconnect(onStop);
    // A click that came too late reaches a disabled button and is dropped.
    runPendingEvents();

    figures.seconds = secondsBetween(started, ended);
    figures.stopped = window.session().CancelRequested;
    figures.rowsCounted = progress.value();
    if (clickMade && deliveredSeen) {
        figures.stopToEnd = secondsBetween(clicked, ended);
        figures.stopToDelivery = secondsBetween(clicked, delivered);
    }
    return figures;
}

// The samples as "seconds:percent", each bar value in the order seen.
std::string progressTrace(const std::vector<ProgressSample>& samples) {
    std::string trace;
    for (const ProgressSample& sample : samples)
        trace += QString::asprintf(" %.2f:%d%%", sample.seconds, sample.percent).toStdString();
    return trace;
}

} // namespace

bool measureRunAndStop(mainwindow::FormMain& window, BenchMessages& messages) {
    showTab(window, catalogue::TAB_ELIGIBLE);
    const int rows = window.session().Eligible.rowCount();
    // Step 1 checks every eligible row: Check All is timed from none checked.
    const double unchecking = setAllChecks(window, false);
    const double checking = setAllChecks(window, true);
    if (rows == 0 || unchecking < 0 || checking < 0) {
        std::fprintf(stderr, "Check All did not check the %d rows of the Eligible list.\n", rows);
        return false;
    }
    messages.acceptInformation = true;
    const RunFigures whole = runOnce(window, -1);
    if (whole.stopped || whole.rowsCounted != rows || messages.failed) {
        std::fprintf(stderr, "The run did not visit all %d rows (%d).\n", rows, whole.rowsCounted);
        return false;
    }
    // The sampler runs when the window runs its events: the gaps between
    // samples are how long the window went without a turn.
    bool rising = !whole.samples.empty();
    double longestGap = whole.samples.empty() ? whole.seconds : whole.samples.front().seconds;
    for (size_t i = 1; i < whole.samples.size(); ++i) {
        rising = rising && whole.samples[i].percent > whole.samples[i - 1].percent;
        longestGap = std::max(longestGap, whole.samples[i].seconds - whole.samples[i - 1].seconds);
    }
    if (!whole.samples.empty())
        longestGap = std::max(longestGap, whole.seconds - whole.samples.back().seconds);
    std::printf("\nRun over the checked rows (embed downloaded artwork; the songs have none):\n");
    std::printf("%-46s %10.3f s\n", ("Uncheck All, " + std::to_string(rows) + " rows").c_str(),
                unchecking);
    std::printf("%-46s %10.3f s\n", ("Check All, " + std::to_string(rows) + " rows").c_str(),
                checking);
    std::printf("%-46s %10.3f s  (%.1f us per row)\n", "whole run", whole.seconds,
                whole.seconds / rows * 1e6);
    std::printf("%-46s %10zu    (each higher than the one before: %s)\n",
                "progress bar samples, every 0.05 s", whole.samples.size(), rising ? "yes" : "no");
    std::printf("  seconds:bar%s\n", progressTrace(whole.samples).c_str());
    std::printf("%-46s %10.3f s\n", "longest gap between samples (start and end too)", longestGap);

    // Stops early, at a quarter, half way and at three quarters of the whole run.
    double worst = 0;
    bool allAnswered = true;
    for (double fraction : {0.05, 0.25, 0.5, 0.75}) {
        if (setAllChecks(window, true) < 0)
            return false;
        const RunFigures run = runOnce(window, whole.seconds * fraction);
        const QString what =
            u"Stop at %1 s (%2%), to the run's end"_s.arg(whole.seconds * fraction, 0, 'f', 2)
                .arg(int(fraction * 100));
        if (!run.stopped) {
            // The run got to its end before the click reached it.
            allAnswered = allAnswered && run.stopToDelivery < 0;
            std::printf("%-46s %10s    (the run ended first; %d of %d rows)\n", qPrintable(what),
                        "-", run.rowsCounted, rows);
            continue;
        }
        worst = std::max(worst, run.stopToEnd);
        std::printf("%-46s %10.3f s  (reached the window after %.3f s; %d of %d rows)\n",
                    qPrintable(what), run.stopToEnd, run.stopToDelivery, run.rowsCounted, rows);
    }
    printLimit("Stop to the run's end, worst", worst, "s", 0.2);
    messages.acceptInformation = false;
    if (!allAnswered)
        std::fprintf(stderr, "A Stop click reached the window and did not end its run.\n");
    return allAnswered && !messages.failed;
}

} // namespace bench
