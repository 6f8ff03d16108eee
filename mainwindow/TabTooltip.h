#pragma once

// The tab strip explains each tab while the mouse rests over it. Positions are
// in the strip's twips (pixels * 15), counted from its first tab.

#include <QString>
#include <Qt>

namespace mainwindow {

// Each tab of the strip covers this much, the Eligible tab from 0, the
// Ineligible tab after it.
inline constexpr int TabStripTabWidthTwips = 3795;

QString TabStripTooltip(int xTwips, int yTwips, Qt::MouseButtons buttons,
                        Qt::KeyboardModifiers modifiers, int viewFilter);

} // namespace mainwindow
