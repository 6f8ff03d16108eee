#pragma once

// The program's main window. It owns the session (library, catalogue, lists)
// and wires its controls to the small classes that decide what happens:
// CommandDispatch for the toolbar and Step menu, MenuState for enabling,
// the catalogue's scan for Step 1. Its code is split by concern:
// FormMain.cpp (life cycle and queries), FormMainLayout.cpp (controls),
// FormMainMenus.cpp (menu bar), FormMainCommands.cpp (toolbar, timers),
// FormMainLists.cpp (list and tab events).

#include "catalogue/CatalogueSession.h"
#include "catalogue/CheckedRowRun.h"
#include "catalogue/LibraryScan.h"
#include "mainwindow/CommandDispatch.h"
#include "mainwindow/MenuState.h"
#include "support/UiServices.h"

#include <QMainWindow>

#include <array>
#include <functional>
#include <map>
#include <memory>

class QAction;
class QDialog;
class QMenu;
class QTabWidget;
class QTimer;
class QToolBar;
class QToolButton;
class QTreeView;

namespace mainwindow {

class TrackDetailsView;
class UcProgress;

// Commands whose work lives outside the window; each starts nothing until
// its owner fills it in.
struct WindowCommands {
    std::function<void()> options;
    std::function<void(bool checked)> setAlbumChecks;
    std::function<void(bool checked)> setAllChecks;
    std::function<void()> previousAlbum;
    std::function<void()> nextAlbum;
    std::function<void()> filterView;
    std::function<void()> checkForUpdates;
    // The automatic update check, run once the start-up timer finds the
    // program idle.
    std::function<void()> updateCheckDue;
    // Step 3x, run with the busy flag held.
    std::function<void()> embedChecked;
    // The About box before it is shown: its drags go to the drop handling.
    std::function<void(QDialog& box)> prepareAboutBox;
};

class FormMain : public QMainWindow, private catalogue::ScanHooks, private catalogue::RunView {
    Q_OBJECT
public:
    explicit FormMain(support::UiServices ui, QWidget* parent = nullptr);
    ~FormMain() override;

    // Window load: builds the kind list and connects to the library. On
    // failure shows the connection-failure message and returns false; the
    // window must then be destroyed without being shown.
    bool Load(const catalogue::LibraryOpener& openLibrary);
    // Releases the tree, the kind list and the library (window unload).
    void UnInit();

    catalogue::CatalogueSession& session() { return m_session; }
    CommandDispatch& dispatch() { return *m_dispatch; }
    WindowCommands& commands() { return m_commands; }
    const support::UiServices& ui() const { return m_ui; }
    int busy() const { return m_dispatch->busy(); }

    // Queries of long runs.
    int CurTab() const;
    bool CurListHasItems() const;
    bool CurListHasAtLeastOneCheckedItem() const;
    int GridRowsVisible() const;
    int ListMainStatus() const;
    bool DetailsShown() const { return m_detailsShown; }

    void ShowSelectedRowDetails(int tab, bool ensureVisible);
    // What the runs over checked rows ask of the window.
    catalogue::RunView& runView() { return *this; }
    void ShowDetailsPanel(bool show);
    // Puts dialog 22 pixels right of and below owner's outer corner.
    static void PlaceDialog(const QWidget* owner, QWidget* dialog);

    // Controls, by the names the program gives them.
    UcProgress* ProgressMain() const { return m_progress; }
    QTreeView* ListMain(int tab) const { return m_lists[tab == 1 ? 1 : 0]; }
    QTabWidget* TabMain() const { return m_tabMain; }
    TrackDetailsView* TrackDetailsMain() const { return m_details; }
    QToolBar* ToolbarMain() const { return m_toolbar; }
    QToolButton* toolbarButton(const QString& key) const;
    // A menu-bar entry by its item name, e.g. "ItemEditCheckAll", "ItemStep3".
    QAction* menuItem(const QString& name) const;
    QMenu* MenuEdit() const { return m_menuEdit; }
    QMenu* Step3DropDown() const { return m_step3Menu; }
    QTimer* TimerButtonMenu() const { return m_timerButtonMenu; }
    QTimer* TimerWiseUpdate() const { return m_timerWiseUpdate; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // FormMainLayout.cpp
    void buildControls();
    void buildToolbar(QWidget* client);
    void buildTabs(QWidget* client);
    QTreeView* buildList(int tab, QWidget* page);
    void showTabCaption(int tab, const QString& caption);
    void applyPendingTabCaptions();
    // FormMainMenus.cpp
    void buildMenus();
    QAction* addItem(QMenu* menu, const QString& name, const QString& caption,
                     const QKeySequence& shortcut = {});
    void addSeparator(QMenu* menu, const QString& name);
    void updateFileMenu();
    void updateEditMenu();
    void updateViewMenu();
    WindowFacts windowFacts() const;
    // FormMainCommands.cpp
    void buildDispatch();
    void buildTimers();
    void runScan();
    void showStep3Hint(int& step3ClickCount);
    void wiseUpdateTick();
    void viewFileInExplorer();
    // FormMainLists.cpp
    void wireListEvents();
    void listHeaderClicked(int tab, int column);
    void showSortIndicator(int tab);
    void rowClicked(int tab, int row);
    void rowDoubleClicked(int tab);
    void tabChanged(int tab);
    bool listMouseEvent(QEvent* event);
    void tabStripMouseMove(QObject* watched, QEvent* event);
    bool refuseListInputWhileBusy(QEvent* event);
    // While a command runs: beeps and answers true.
    bool refuseWhileBusy();

    const catalogue::SongList& songList(int tab) const;

    // RunView
    int currentTab() const override { return CurTab(); }
    int gridRowsVisible() const override { return GridRowsVisible(); }
    void scrollToRow(int tab, int row) override;
    void showSelectedRow(int tab) override { ShowSelectedRowDetails(tab, true); }
    void refreshList(int tab) override;

    // ScanHooks
    void enableSelectionSteps() override;
    void showCurrentSelection() override;
    void pushBusyPointer() override;
    void popBusyPointer() override;

    support::UiServices m_ui;
    catalogue::CatalogueSession m_session;
    std::unique_ptr<CommandDispatch> m_dispatch;
    WindowCommands m_commands;
    bool m_loaded = false;
    bool m_detailsShown = false;
    bool m_rightClickPending = false;

    QToolBar* m_toolbar = nullptr;
    std::map<QString, QToolButton*> m_toolbarButtons;
    QMenu* m_step3Menu = nullptr;
    UcProgress* m_progress = nullptr;
    QTabWidget* m_tabMain = nullptr;
    std::array<QTreeView*, 2> m_lists{};
    TrackDetailsView* m_details = nullptr;
    QMenu* m_menuFile = nullptr;
    QMenu* m_menuEdit = nullptr;
    QMenu* m_menuStep = nullptr;
    QMenu* m_menuView = nullptr;
    std::map<QString, QAction*> m_items;
    QTimer* m_timerButtonMenu = nullptr;
    QTimer* m_timerWiseUpdate = nullptr;
    // Captions that changed during a run, shown when the window next runs
    // its events and when the run ends.
    std::array<QString, 2> m_pendingTabCaptions;
    QTimer* m_tabCaptionTimer = nullptr;
};

} // namespace mainwindow
