#include "mainwindow/FormMain.h"

#include "mainwindow/ReviewCommands.h"
#include "mainwindow/SupportCommands.h"
#include "mainwindow/TrackDetailsView.h"
#include "mainwindow/WindowLayout.h"
#include "mainwindow/WindowQueries.h"

#include <QAction>
#include <QCloseEvent>
#include <QTabWidget>
#include <QTimer>
#include <QTreeView>

using namespace Qt::StringLiterals;

namespace mainwindow {

FormMain::FormMain(support::UiServices ui, QWidget* parent) : QMainWindow(parent), m_ui(ui) {
    setObjectName(u"FormMain"_s);
    setWindowTitle(u"Quillmoth"_s);
    buildControls();
    buildMenus();
    buildDispatch();
    buildTimers();
    wireListEvents();
    InstallReviewCommands(*this);
    InstallSupportCommands(*this);
}

FormMain::~FormMain() {
    if (m_loaded)
        UnInit();
}

bool FormMain::Load(const catalogue::LibraryOpener& openLibrary) {
    m_session.Kinds.Build();
    if (!m_session.Init(openLibrary)) {
        // No title of its own: the message box shows the program's name.
        m_ui.messages->show(catalogue::CatalogueSession::ConnectionFailureMessage(), QString(),
                            support::MbOk, support::MbCritical);
        return false;
    }
    m_details->setArrIndex(0);
    m_details->setTrack(nullptr);
    ShowDetailsPanel(true);
    m_loaded = true;
    m_timerWiseUpdate->start();
    return true;
}

void FormMain::UnInit() {
    m_timerButtonMenu->stop();
    m_timerWiseUpdate->stop();
    m_details->setTrack(nullptr);
    m_session.UnInit();
    m_loaded = false;
}

void FormMain::closeEvent(QCloseEvent* event) {
    // A command that lets window events run must not find its window gone.
    if (busy() != BusyIdle) {
        event->ignore();
        return;
    }
    event->accept();
    if (m_loaded)
        UnInit();
}

int FormMain::CurTab() const {
    return m_tabMain->currentIndex();
}

const catalogue::SongList& FormMain::songList(int tab) const {
    return tab == TAB_INELIGIBLE ? m_session.Ineligible : m_session.Eligible;
}

bool FormMain::CurListHasItems() const {
    return songList(CurTab()).rowCount() > 0;
}

bool FormMain::CurListHasAtLeastOneCheckedItem() const {
    return songList(CurTab()).HasAtLeastNChecked(1);
}

int FormMain::GridRowsVisible() const {
    return mainwindow::GridRowsVisible(m_detailsShown);
}

int FormMain::ListMainStatus() const {
    const catalogue::SongList& eligible = m_session.Eligible;
    return mainwindow::ListMainStatus(CurTab(), eligible.rowCount(),
                                      eligible.HasAtLeastNChecked(1));
}

void FormMain::ShowSelectedRowDetails(int tab, bool ensureVisible) {
    catalogue::SongList& list = m_session.ListMain(tab);
    const int row = list.selectedRow();
    if (row < 0)
        return;
    rowClicked(tab, row);
    if (ensureVisible)
        ListMain(tab)->scrollTo(list.model().index(row, 0));
}

void FormMain::scrollToRow(int tab, int row) {
    ListMain(tab)->scrollTo(m_session.ListMain(tab).model().index(row, 0));
}

void FormMain::refreshList(int tab) {
    ListMain(tab)->viewport()->update();
}

void FormMain::ShowDetailsPanel(bool show) {
    m_items.at(u"ItemViewShowDetails"_s)->setChecked(show);
    m_details->widget()->setVisible(show);
    QRect tabGeometry = m_tabMain->geometry();
    tabGeometry.setHeight(layout::TabMainHeight(show));
    m_tabMain->setGeometry(tabGeometry);
    for (int tab : {TAB_ELIGIBLE, TAB_INELIGIBLE}) {
        QTreeView* view = ListMain(tab);
        view->resize(layout::ListMainWidth, layout::ListMainHeight(show));
        const int row = m_session.ListMain(tab).selectedRow();
        if (row >= 0)
            view->scrollTo(m_session.ListMain(tab).model().index(row, 0));
    }
    m_detailsShown = show;
}

void FormMain::PlaceDialog(const QWidget* owner, QWidget* dialog) {
    const QPoint corner = owner->frameGeometry().topLeft();
    dialog->move(corner + QPoint(layout::DialogOffset, layout::DialogOffset));
}

} // namespace mainwindow
