// Events of the two song lists and of the tab control: sorting by header,
// showing the chosen row in the details panel, the right-button Edit menu
// and the tab strip's explanations.

#include "mainwindow/FormMain.h"

#include "catalogue/RowKey.h"
#include "mainwindow/TabTooltip.h"
#include "mainwindow/TrackDetailsView.h"
#include "mainwindow/TwipsGeometry.h"
#include "mainwindow/WindowQueries.h"

#include <QHeaderView>
#include <QMenu>
#include <QMouseEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QTreeView>

namespace mainwindow {

namespace {
// Details panel pages in front after a double click, per tab.
constexpr int DetailsTabSongDetails = 0;
constexpr int DetailsTabWeb = 1;
} // namespace

void FormMain::wireListEvents() {
    for (int tab : {TAB_ELIGIBLE, TAB_INELIGIBLE}) {
        QTreeView* view = ListMain(tab);
        catalogue::SongList& list = m_session.ListMain(tab);
        connect(view->header(), &QHeaderView::sectionClicked, this,
                [this, tab](int column) { listHeaderClicked(tab, column); });
        connect(&list.model(), &QAbstractItemModel::layoutChanged, this,
                [this, tab] { showSortIndicator(tab); });
        connect(&list.selection(), &QItemSelectionModel::currentRowChanged, this,
                [this, tab](const QModelIndex& current) {
                    // The other tab's list may change behind the scenes (a scan
                    // selects the first row of both); only the visible one
                    // drives the panel.
                    if (tab == CurTab() && current.isValid())
                        rowClicked(tab, current.row());
                });
        connect(view, &QAbstractItemView::clicked, this, [this, tab](const QModelIndex& index) {
            if (index.isValid())
                rowClicked(tab, index.row());
        });
        connect(view, &QAbstractItemView::doubleClicked, this,
                [this, tab] { rowDoubleClicked(tab); });
        showSortIndicator(tab);
    }
    // Only the Eligible list offers the Edit menu on the right button.
    ListMain(TAB_ELIGIBLE)->viewport()->installEventFilter(this);
    connect(m_tabMain, &QTabWidget::currentChanged, this, &FormMain::tabChanged);
}

void FormMain::listHeaderClicked(int tab, int column) {
    m_session.ListMain(tab).headerClicked(column);
    showSortIndicator(tab);
}

void FormMain::showSortIndicator(int tab) {
    const catalogue::SongList& list = songList(tab);
    ListMain(tab)->header()->setSortIndicator(list.sortColumn(), list.sortOrder());
}

void FormMain::rowClicked(int tab, int row) {
    const catalogue::SongList& list = songList(tab);
    const QString key = row >= 0 && row < list.rowCount() ? list.model().key(row) : QString();
    // The panel reads the record before it asks the library for the track.
    m_details->setArrIndex(catalogue::RowCatalogueIndex(key));
    m_details->setTrack(m_session.Library ? catalogue::RowTrack(*m_session.Library, key)
                                          : musiclibrary::TrackPtr());
}

void FormMain::rowDoubleClicked(int tab) {
    if (!m_detailsShown)
        ShowDetailsPanel(true);
    m_details->setDetailsTab(tab == TAB_INELIGIBLE ? DetailsTabWeb : DetailsTabSongDetails);
}

void FormMain::tabChanged(int tab) {
    rowClicked(tab, songList(tab).selectedRow());
}

bool FormMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_tabMain->tabBar() && event->type() == QEvent::MouseMove)
        tabStripMouseMove(watched, event);
    else if (watched == ListMain(TAB_ELIGIBLE)->viewport())
        listMouseEvent(event);
    return QMainWindow::eventFilter(watched, event);
}

bool FormMain::listMouseEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (static_cast<QMouseEvent*>(event)->buttons() & Qt::RightButton)
            m_rightClickPending = true;
        break;
    case QEvent::MouseMove:
        if (m_rightClickPending)
            m_rightClickPending = static_cast<QMouseEvent*>(event)->buttons() & Qt::RightButton;
        break;
    case QEvent::MouseButtonRelease:
        if (m_rightClickPending) {
            m_rightClickPending = false;
            m_menuEdit->popup(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
            return true;
        }
        break;
    default:
        break;
    }
    return false;
}

void FormMain::tabStripMouseMove(QObject* watched, QEvent* event) {
    auto* bar = static_cast<QWidget*>(watched);
    const auto* mouse = static_cast<QMouseEvent*>(event);
    // Positions count from the strip's own corner, where its first tab
    // starts: the tabs are as wide as the stretches of the explanations, so
    // the explanation is always that of the tab under the mouse. (The strip
    // sits at the top of the tab control, so its heights are the same.)
    const QPoint at = mouse->position().toPoint();
    bar->setToolTip(TabStripTooltip(at.x() * TwipsPerPixel, at.y() * TwipsPerPixel,
                                    mouse->buttons(), mouse->modifiers(), m_session.ViewFilter));
}

} // namespace mainwindow
