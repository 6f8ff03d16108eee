// The menu bar: captions, shortcut keys, and enabling recomputed whenever a
// menu opens.

#include "mainwindow/FormMain.h"

#include "mainwindow/CommandKeys.h"
#include "mainwindow/WindowQueries.h"

#include "support/MenuCommands.h"

#include <QAction>
#include <QDialog>
#include <QMenu>
#include <QMenuBar>

#include <optional>

using namespace Qt::StringLiterals;

namespace mainwindow {

namespace {

void runIfSet(const std::function<void()>& command) {
    if (command)
        command();
}

struct StepItem {
    QString name; // the item's name; separators have no key
    QString key;  // what the dispatch is told
    QString caption;
    QKeySequence shortcut;
};

} // namespace

QAction* FormMain::addItem(QMenu* menu, const QString& name, const QString& caption,
                           const QKeySequence& shortcut) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    action->setShortcut(shortcut);
    m_items[name] = action;
    return action;
}

void FormMain::addSeparator(QMenu* menu, const QString& name) {
    QAction* separator = menu->addSeparator();
    separator->setObjectName(name);
    m_items[name] = separator;
}

QAction* FormMain::menuItem(const QString& name) const {
    const auto found = m_items.find(name);
    return found == m_items.end() ? nullptr : found->second;
}

void FormMain::buildMenus() {
    QMenuBar* bar = menuBar();

    m_menuFile = bar->addMenu(u"&File"_s);
    m_menuFile->setObjectName(u"MenuFile"_s);
    connect(
        addItem(m_menuFile, u"ItemFileViewFileInExplorer"_s, u"&View File in Windows Explorer"_s),
        &QAction::triggered, this, &FormMain::viewFileInExplorer);
    addSeparator(m_menuFile, u"ItemFileSep1"_s);
    connect(addItem(m_menuFile, u"ItemFileOptions"_s, u"&Options..."_s), &QAction::triggered, this,
            [this] { runIfSet(m_commands.options); });
    addSeparator(m_menuFile, u"ItemFileSep2"_s);
    // Exit goes through the ordinary close request, so the busy rule holds.
    connect(addItem(m_menuFile, u"ItemFileExit"_s, u"E&xit Quillmoth"_s), &QAction::triggered, this,
            &QWidget::close);
    connect(m_menuFile, &QMenu::aboutToShow, this, &FormMain::updateFileMenu);

    m_menuEdit = bar->addMenu(u"&Edit"_s);
    m_menuEdit->setObjectName(u"MenuEdit"_s);
    // The Edit menu's shortcuts work with the menu closed, whose enabling was
    // last set before a run began: each command asks the busy flag itself.
    const auto albumChecks = [this](bool checked) {
        if (m_commands.setAlbumChecks && !refuseWhileBusy())
            m_commands.setAlbumChecks(checked);
    };
    const auto allChecks = [this](bool checked) {
        if (m_commands.setAllChecks && !refuseWhileBusy())
            m_commands.setAllChecks(checked);
    };
    const auto unlessBusy = [this](const std::function<void()>& command) {
        if (!refuseWhileBusy())
            runIfSet(command);
    };
    connect(addItem(m_menuEdit, u"ItemEditCheckAlbum"_s, u"Check All Songs on &Album"_s,
                    QKeySequence(Qt::Key_F11)),
            &QAction::triggered, this, [albumChecks] { albumChecks(true); });
    connect(addItem(m_menuEdit, u"ItemEditUncheckAlbum"_s, u"Uncheck All Songs on Albu&m"_s,
                    QKeySequence(Qt::Key_F12)),
            &QAction::triggered, this, [albumChecks] { albumChecks(false); });
    addSeparator(m_menuEdit, u"ItemEditSep1"_s);
    connect(addItem(m_menuEdit, u"ItemEditCheckAll"_s, u"&Check All"_s,
                    QKeySequence(Qt::CTRL | Qt::Key_A)),
            &QAction::triggered, this, [allChecks] { allChecks(true); });
    connect(addItem(m_menuEdit, u"ItemEditUncheckAll"_s, u"&Uncheck All"_s,
                    QKeySequence(Qt::CTRL | Qt::Key_U)),
            &QAction::triggered, this, [allChecks] { allChecks(false); });
    addSeparator(m_menuEdit, u"ItemEditSep2"_s);
    connect(addItem(m_menuEdit, u"ItemEditPreviousAlbum"_s, u"&Previous Album"_s,
                    QKeySequence(Qt::Key_F7)),
            &QAction::triggered, this,
            [this, unlessBusy] { unlessBusy(m_commands.previousAlbum); });
    connect(addItem(m_menuEdit, u"ItemEditNextAlbum"_s, u"&Next Album"_s, QKeySequence(Qt::Key_F8)),
            &QAction::triggered, this, [this, unlessBusy] { unlessBusy(m_commands.nextAlbum); });
    connect(m_menuEdit, &QMenu::aboutToShow, this, &FormMain::updateEditMenu);

    m_menuStep = bar->addMenu(u"Ste&p"_s);
    m_menuStep->setObjectName(u"MenuStep"_s);
    const StepItem steps[] = {
        {u"ItemStep1"_s, keys::Step1, u"Step &1: Scan iTunes"_s,
         QKeySequence(Qt::CTRL | Qt::Key_F1)},
        {u"ItemStep2"_s, {}, u"-"_s, {}},
        {u"ItemStep3"_s, keys::Step2, u"Step &2: Select Tracks"_s,
         QKeySequence(Qt::CTRL | Qt::Key_F2)},
        {u"ItemStep4"_s, {}, u"-"_s, {}},
        {u"ItemStep5"_s, keys::DeleteArtwork, u"Step 3: &Delete Artwork..."_s,
         QKeySequence(Qt::CTRL | Qt::Key_F3)},
        {u"ItemStep6"_s, keys::CreatePlaylist,
         u"Step 3: &Create Playlist of Artwork to Download..."_s,
         QKeySequence(Qt::CTRL | Qt::Key_F4)},
        {u"ItemStep7"_s, keys::DownloadArtwork, u"Step 3: Download Artwork &via iTunes..."_s,
         QKeySequence(Qt::CTRL | Qt::Key_F5)},
        {u"ItemStepGetAlbumArtwork"_s,
         keys::GetAlbumArtwork,
         u"Step 3: &Get Album Artwork..."_s,
         {}},
        {u"ItemStep8"_s, keys::EmbedDownloadedArtwork, u"Step 3: &Embed Downloaded Artwork..."_s,
         QKeySequence(Qt::CTRL | Qt::Key_F6)},
        {u"ItemStep9"_s, keys::EmbedArtwork, u"Step 3: Embed &Artwork (Advanced)..."_s,
         QKeySequence(Qt::CTRL | Qt::Key_F7)},
        {u"ItemStep10"_s, {}, u"-"_s, {}},
        {u"ItemStep11"_s, keys::CreateFolderJpg,
         u"Step 3: Create &Windows Explorer Folder Thumbnails..."_s,
         QKeySequence(Qt::CTRL | Qt::Key_F8)},
    };
    for (const StepItem& step : steps) {
        if (step.caption == u"-"_s) {
            addSeparator(m_menuStep, step.name);
            continue;
        }
        connect(addItem(m_menuStep, step.name, step.caption, step.shortcut), &QAction::triggered,
                this, [this, key = step.key] { m_dispatch->stepMenuClicked(key); });
    }
    // Enabled by the first scan.
    m_items.at(u"ItemStep3"_s)->setEnabled(false);

    m_menuView = bar->addMenu(u"&View"_s);
    m_menuView->setObjectName(u"MenuView"_s);
    QAction* showDetails = addItem(m_menuView, u"ItemViewShowDetails"_s, u"&Show Details"_s,
                                   QKeySequence(Qt::CTRL | Qt::Key_D));
    showDetails->setCheckable(true);
    connect(showDetails, &QAction::triggered, this, [this] { ShowDetailsPanel(!m_detailsShown); });
    connect(addItem(m_menuView, u"ItemViewFilterView"_s, u"&Filter Eligible Songs..."_s),
            &QAction::triggered, this, [this, unlessBusy] { unlessBusy(m_commands.filterView); });
    connect(m_menuView, &QMenu::aboutToShow, this, &FormMain::updateViewMenu);

    QMenu* menuWeb = bar->addMenu(u"&Web"_s);
    menuWeb->setObjectName(u"MenuWeb"_s);
    connect(addItem(menuWeb, u"ItemWebProductHomePage"_s, u"Quillmoth &Home Page"_s),
            &QAction::triggered, this, &support::DoMenu_ProductHomePage);
    connect(addItem(menuWeb, u"ItemWebDocumentation"_s, u"&Documentation"_s), &QAction::triggered,
            this, &support::DoMenu_OnlineDocumentation);
    connect(addItem(menuWeb, u"ItemWebTarnwick"_s, u"&Tarnwick Home Page"_s), &QAction::triggered,
            this, &support::DoMenu_MakerHomePage);
    addSeparator(menuWeb, u"ItemWebSep1"_s);
    connect(addItem(menuWeb, u"ItemWebCheckForUpdates"_s, u"Check for &Updates..."_s),
            &QAction::triggered, this, [this] {
                // A check while a command runs would start the updater mid-run.
                if (busy() == BusyIdle)
                    runIfSet(m_commands.checkForUpdates);
            });

    QMenu* menuHelp = bar->addMenu(u"&Help"_s);
    menuHelp->setObjectName(u"MenuHelp"_s);
    connect(addItem(menuHelp, u"ItemHelpOnlineDocs"_s, u"&Online Documentation"_s,
                    QKeySequence(Qt::Key_F1)),
            &QAction::triggered, this, &support::DoMenu_OnlineDocumentation);
    connect(addItem(menuHelp, u"ItemHelpAbout"_s, u"&About..."_s), &QAction::triggered, this,
            [this] {
                support::DoMenu_About(this, [this](QDialog& box) {
                    PlaceDialog(this, &box);
                    if (m_commands.prepareAboutBox)
                        m_commands.prepareAboutBox(box);
                });
            });
}

WindowFacts FormMain::windowFacts() const {
    const auto facts = [this](int tab) {
        const catalogue::SongList& list = songList(tab);
        return ListFacts{.rowCount = list.rowCount(), .hasSelectedRow = list.selectedRow() >= 0};
    };
    return {.curTab = CurTab(),
            .busy = busy() != BusyIdle,
            .eligible = facts(TAB_ELIGIBLE),
            .ineligible = facts(TAB_INELIGIBLE)};
}

void FormMain::viewFileInExplorer() {
    const catalogue::SongList& list = songList(CurTab());
    const int row = list.selectedRow();
    std::optional<QString> fullPath;
    if (row >= 0)
        fullPath = list.model().text(row, catalogue::ColumnFullPath);
    if (!support::DoMenu_ViewFileInExplorer(fullPath, *m_ui.messages))
        m_items.at(u"ItemFileViewFileInExplorer"_s)->setEnabled(false);
}

void FormMain::updateFileMenu() {
    const FileMenuState state = FileMenuEnabling(windowFacts());
    m_items.at(u"ItemFileViewFileInExplorer"_s)->setEnabled(state.viewFileInExplorer);
}

void FormMain::updateEditMenu() {
    const EditMenuState state = EditMenuEnabling(windowFacts());
    m_items.at(u"ItemEditCheckAlbum"_s)->setEnabled(state.checkAlbum);
    m_items.at(u"ItemEditUncheckAlbum"_s)->setEnabled(state.uncheckAlbum);
    m_items.at(u"ItemEditCheckAll"_s)->setEnabled(state.checkAll);
    m_items.at(u"ItemEditUncheckAll"_s)->setEnabled(state.uncheckAll);
    m_items.at(u"ItemEditPreviousAlbum"_s)->setEnabled(state.previousAlbum);
    m_items.at(u"ItemEditNextAlbum"_s)->setEnabled(state.nextAlbum);
}

void FormMain::updateViewMenu() {
    m_items.at(u"ItemViewFilterView"_s)->setEnabled(ViewMenuEnabling(windowFacts()).filterView);
}

} // namespace mainwindow
