// The main window's controls at their fixed places.

#include "mainwindow/FormMain.h"

#include "mainwindow/CommandKeys.h"
#include "mainwindow/TabTooltip.h"
#include "mainwindow/ToolbarIcons.h"
#include "mainwindow/TrackDetailsView.h"
#include "mainwindow/TwipsGeometry.h"
#include "mainwindow/UcProgress.h"
#include "mainwindow/UcTrackDetails.h"
#include "mainwindow/WindowLayout.h"
#include "mainwindow/WindowQueries.h"

#include <QAction>
#include <QHeaderView>
#include <QLayout>
#include <QMenu>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>

#include <array>
#include <utility>

using namespace Qt::StringLiterals;

namespace mainwindow {

namespace {

struct ToolbarButtonFacts {
    QString key;
    QString caption;
    QString tooltip;
};

struct DropDownEntry {
    QString key;
    QString caption;
};

// Column widths in twips, Eligible then Ineligible list.
constexpr std::array<std::array<int, 6>, 2> ColumnWidthsTwips = {{
    {4180, 3069, 1147, 4868, 2540, 8678},
    {4180, 3069, 1147, 4868, 4868, 6350},
}};

// Where a list sits inside its tab page.
constexpr QPoint ListOffsetInPage{4, 4};

// The tab strip's explanations are given by position (TabTooltip.h): each
// tab is as wide as the stretch its explanation covers, so the text shown
// is always the one of the tab under the mouse.
class TabStripOfFixedWidths : public QTabBar {
public:
    using QTabBar::QTabBar;

protected:
    QSize tabSizeHint(int index) const override {
        QSize size = QTabBar::tabSizeHint(index);
        size.setWidth(TwipsToPixels(TabStripTabWidthTwips));
        return size;
    }
};

class TabControl : public QTabWidget {
public:
    explicit TabControl(QWidget* parent) : QTabWidget(parent) {
        setTabBar(new TabStripOfFixedWidths(this));
    }
};

} // namespace

void FormMain::buildControls() {
    setWindowIcon(ApplicationIcon());
    auto* client = new QWidget(this);
    client->setObjectName(u"ClientArea"_s);
    client->setFixedSize(layout::ClientSize);
    setCentralWidget(client);
    // A fixed single border: the window takes its contents' size and keeps it.
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    buildToolbar(client);

    m_progress = new UcProgress(client);
    m_progress->setObjectName(u"ProgressMain"_s);
    m_progress->setGeometry(layout::ProgressMain);

    buildTabs(client);

    auto* details = new UcTrackDetails(&m_session.Catalogue, client);
    m_details = details;
    m_details->widget()->setObjectName(u"TrackDetailsMain"_s);
    m_details->widget()->setGeometry(layout::TrackDetailsMain);
}

void FormMain::buildToolbar(QWidget* client) {
    m_toolbar = new QToolBar(client);
    m_toolbar->setObjectName(u"ToolbarMain"_s);
    m_toolbar->setGeometry(0, 0, layout::ClientSize.width(), layout::ToolbarHeight);
    m_toolbar->setMovable(false);
    m_toolbar->setFloatable(false);
    m_toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_toolbar->setIconSize(QSize(24, 24));

    const ToolbarButtonFacts buttons[] = {
        {keys::Step1, u"Step 1: Scan iTunes"_s,
         u"Load the list of songs from your iTunes Library"_s},
        {keys::Step2, u"Step 2: Select Tracks"_s, u"Set checkmarks on desired eligible songs"_s},
        {keys::Step3x, u"Step 3x: Embed artwork"_s,
         u"Embed cover art into checked eligible songs"_s},
        {keys::Step3, u"Step 3: Run Wizard"_s, u"Choose a wizard to run from the drop-down menu"_s},
    };
    for (const ToolbarButtonFacts& facts : buttons) {
        auto* button = new QToolButton(m_toolbar);
        button->setObjectName(facts.key);
        button->setText(facts.caption);
        button->setToolTip(facts.tooltip);
        button->setIcon(ToolbarIcon(facts.key));
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        QAction* place = m_toolbar->addWidget(button);
        // Step 3x is not offered: it answers each song without a folder
        // image with a message of its own and has no Stop, while Embed
        // Artwork with the Folder.JPG source does the same job and can be
        // cancelled. The command stays for scripts (embed-folder).
        place->setVisible(facts.key != keys::Step3x);
        m_toolbarButtons[facts.key] = button;
    }
    // Nothing to select before the first scan.
    m_toolbarButtons.at(keys::Step2)->setEnabled(false);
    m_toolbarButtons.at(keys::Step3x)->setEnabled(false);

    m_step3Menu = new QMenu(this);
    m_step3Menu->setObjectName(u"Step3DropDown"_s);
    const DropDownEntry entries[] = {
        {keys::DeleteArtwork, u"&Delete Artwork..."_s},
        {keys::CreatePlaylist, u"&Create Playlist of Artwork to Download..."_s},
        {keys::DownloadArtwork, u"Download Artwork &via iTunes..."_s},
        {keys::GetAlbumArtwork, u"&Get Album Artwork..."_s},
        {keys::EmbedDownloadedArtwork, u"&Embed Downloaded Artwork..."_s},
        {keys::EmbedArtwork, u"Embed &Artwork (Advanced)..."_s},
        {keys::Step3Sep1, u"-"_s},
        {keys::CreateFolderJpg, u"Create &Windows Explorer Folder Thumbnails..."_s},
        {keys::ExtractArtwork, u"Extract artwork..."_s},
    };
    for (const DropDownEntry& entry : entries) {
        QAction* action = entry.caption == u"-"_s ? m_step3Menu->addSeparator()
                                                  : m_step3Menu->addAction(entry.caption);
        action->setObjectName(entry.key);
        action->setData(entry.key);
    }
    // Extracting has no wizard of its own; the entry exists but is never offered.
    m_step3Menu->findChild<QAction*>(keys::ExtractArtwork)->setVisible(false);

    QToolButton* step3 = m_toolbarButtons.at(keys::Step3);
    step3->setMenu(m_step3Menu);
    step3->setPopupMode(QToolButton::MenuButtonPopup);
    // Alt+Down and F4 open the drop-down from the keyboard, as on a combo box.
    step3->installEventFilter(this);
}

void FormMain::buildTabs(QWidget* client) {
    m_tabMain = new TabControl(client);
    m_tabMain->setObjectName(u"TabMain"_s);
    m_tabMain->setGeometry(layout::TabMain);
    for (int tab : {TAB_ELIGIBLE, TAB_INELIGIBLE}) {
        auto* page = new QWidget(m_tabMain);
        m_lists[static_cast<size_t>(tab)] = buildList(tab, page);
        m_tabMain->addTab(page, m_session.Counts.Caption(tab));
    }
    m_tabCaptionTimer = new QTimer(this);
    m_tabCaptionTimer->setSingleShot(true);
    m_tabCaptionTimer->setInterval(0);
    connect(m_tabCaptionTimer, &QTimer::timeout, this, &FormMain::applyPendingTabCaptions);
    connect(&m_session.Counts, &catalogue::TabCounts::captionChanged, this,
            &FormMain::showTabCaption);
    m_tabMain->tabBar()->setMouseTracking(true);
    m_tabMain->tabBar()->installEventFilter(this);
}

QTreeView* FormMain::buildList(int tab, QWidget* page) {
    catalogue::SongList& list = m_session.ListMain(tab);
    auto* view = new QTreeView(page);
    view->setObjectName(u"ListMain%1"_s.arg(tab));
    view->setGeometry(
        QRect(ListOffsetInPage, QSize(layout::ListMainWidth, layout::ListMainHeight(true))));
    view->setModel(&list.model());
    view->setSelectionModel(&list.selection());
    view->setRootIsDecorated(false);
    view->setUniformRowHeights(true);
    view->setItemsExpandable(false);
    view->setAllColumnsShowFocus(true);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->header()->setSectionsClickable(true);
    view->header()->setSortIndicatorShown(true);
    view->header()->setStretchLastSection(false);
    const auto& widths = ColumnWidthsTwips[static_cast<size_t>(tab)];
    for (int column = 0; column < static_cast<int>(widths.size()); ++column)
        view->setColumnWidth(column, TwipsToPixels(widths[static_cast<size_t>(column)]));
    return view;
}

QToolButton* FormMain::toolbarButton(const QString& key) const {
    const auto found = m_toolbarButtons.find(key);
    return found == m_toolbarButtons.end() ? nullptr : found->second;
}

void FormMain::showTabCaption(int tab, const QString& caption) {
    if (tab != TAB_ELIGIBLE && tab != TAB_INELIGIBLE)
        return;
    // A scan counts every song; setting the tab text relays out and repaints
    // the tab bar, which for a large library would cost more than the scan.
    // During a run the newest caption waits for the window's next turn.
    if (m_dispatch && m_dispatch->busy() != BusyIdle) {
        m_pendingTabCaptions[static_cast<size_t>(tab)] = caption;
        m_tabCaptionTimer->start();
        return;
    }
    m_pendingTabCaptions[static_cast<size_t>(tab)].clear();
    m_tabMain->setTabText(tab, caption);
}

void FormMain::applyPendingTabCaptions() {
    m_tabCaptionTimer->stop();
    for (int tab : {TAB_ELIGIBLE, TAB_INELIGIBLE}) {
        QString& pending = m_pendingTabCaptions[static_cast<size_t>(tab)];
        if (!pending.isEmpty())
            m_tabMain->setTabText(tab, std::exchange(pending, QString()));
    }
}

} // namespace mainwindow
