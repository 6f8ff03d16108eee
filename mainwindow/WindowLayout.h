#pragma once

// The main window's fixed layout, in pixels of its client area.

#include <QRect>
#include <QSize>

namespace mainwindow::layout {

inline constexpr QSize ClientSize{1001, 673};
inline constexpr int ToolbarHeight = 58;
inline constexpr QRect ProgressMain{736, 16, 249, 25};
inline constexpr QRect TabMain{16, 72, 969, 321};
inline constexpr QRect TrackDetailsMain{16, 400, 972, 265};

// With the details panel hidden the tab control covers the panel's area.
constexpr int TabMainHeight(bool detailsShown) {
    return detailsShown ? 321 : 585;
}
constexpr int ListMainHeight(bool detailsShown) {
    return detailsShown ? 281 : 545;
}
inline constexpr int ListMainWidth = 953;

// The gap between a modal dialog and the corner of the window that opens it.
inline constexpr int DialogOffset = 22;

} // namespace mainwindow::layout
