// Events of the two song lists and of the tab control: sorting by header,
// showing the chosen row in the details panel, the right-button Edit menu
// and the tab strip's explanations. While a run or the scan goes over a
// list, the lists take no clicks and no keys: a check mark, a sort or a new
// selection would change the rows under the run.

#include "mainwindow/FormMain.h"

#include "catalogue/RowKey.h"
#include "mainwindow/CommandKeys.h"
#include "mainwindow/TabTooltip.h"
#include "mainwindow/TrackDetailsView.h"
#include "mainwindow/TwipsGeometry.h"
#include "mainwindow/WindowQueries.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeView>

#include <algorithm>

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
    for (int tab : {TAB_ELIGIBLE, TAB_INELIGIBLE}) {
        QTreeView* view = ListMain(tab);
        for (QObject* target :
             {static_cast<QObject*>(view), static_cast<QObject*>(view->viewport()),
              static_cast<QObject*>(view->header()->viewport())})
            target->installEventFilter(this);
    }
    connect(m_tabMain, &QTabWidget::currentChanged, this, &FormMain::tabChanged);
}

void FormMain::listHeaderClicked(int tab, int column) {
    if (refuseWhileBusy())
        return;
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
    if (event->type() == QEvent::KeyPress && watched == m_toolbarButtons.at(keys::Step3)) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_F4 ||
            (key->key() == Qt::Key_Down && key->modifiers() & Qt::AltModifier)) {
            static_cast<QToolButton*>(watched)->showMenu();
            return true;
        }
    }
    if (watched == m_tabMain->tabBar()) {
        if (event->type() == QEvent::MouseMove)
            tabStripMouseMove(watched, event);
        return QMainWindow::eventFilter(watched, event);
    }
    const bool isList = std::any_of(m_lists.begin(), m_lists.end(), [watched](QTreeView* view) {
        return view && (watched == view || watched == view->viewport() ||
                        watched == view->header()->viewport());
    });
    if (isList && refuseListInputWhileBusy(event))
        return true;
    // Only the Eligible list offers the Edit menu on the right button.
    if (watched == ListMain(TAB_ELIGIBLE)->viewport())
        listMouseEvent(event);
    return QMainWindow::eventFilter(watched, event);
}

bool FormMain::refuseListInputWhileBusy(QEvent* event) {
    if (busy() == BusyIdle)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        refuseWhileBusy();
        return true;
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove:
        return true;
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        // Tab still leaves the list, so that the keyboard reaches Stop.
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)
            return false;
        if (event->type() == QEvent::KeyPress && !key->isAutoRepeat())
            refuseWhileBusy();
        return true;
    }
    default:
        return false;
    }
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
