#pragma once

// The tab strip explains each tab while the mouse rests over it. Positions are
// in the tab control's twips (pixels * 15).

#include <QString>
#include <Qt>

namespace mainwindow {

QString TabStripTooltip(int xTwips, int yTwips, Qt::MouseButtons buttons,
                        Qt::KeyboardModifiers modifiers, int viewFilter);

} // namespace mainwindow
