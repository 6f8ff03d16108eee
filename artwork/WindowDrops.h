#pragma once

// Drops on the main window: drags over the window and the controls that
// take them (toolbar, tabs, lists, details panel, progress panel) go to the
// drop decoder; an accepted drop starts the window's drop timer (10 ms),
// whose tick runs the drop processing once the drag is over. The About box
// gets its own timer (100 ms) and takes no kind of drop.

class QDialog;

namespace mainwindow {
class FormMain;
class ModalRunner;
} // namespace mainwindow

namespace artwork {

void InstallWindowDrops(mainwindow::FormMain& window, mainwindow::ModalRunner& runner);

} // namespace artwork
