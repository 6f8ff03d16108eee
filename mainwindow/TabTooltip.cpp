#include "mainwindow/TabTooltip.h"

#include "catalogue/ArtTypes.h"

using namespace Qt::StringLiterals;

namespace mainwindow {

namespace {
constexpr int StripHeightTwips = 300;
constexpr int EligibleTabRightTwips = TabStripTabWidthTwips;
constexpr int IneligibleTabRightTwips = 2 * TabStripTabWidthTwips;
} // namespace

QString TabStripTooltip(int xTwips, int yTwips, Qt::MouseButtons buttons,
                        Qt::KeyboardModifiers modifiers, int viewFilter) {
    const Qt::KeyboardModifiers held =
        modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    if (buttons != Qt::NoButton || held != Qt::NoModifier || yTwips >= StripHeightTwips)
        return {};
    if (xTwips < EligibleTabRightTwips) {
        // With embedded art in the view, the Eligible tab also lists songs whose
        // art is already inside the file.
        if (viewFilter & catalogue::ArtKindEmbedded)
            return u"Show songs which have at least one album cover art image (including those "
                   u"with images already embedded) -- see the View menu to filter the list "
                   u"contents"_s;
        return u"Show songs which have at least one album cover art image available for "
               u"embedding -- see the View menu to filter the list contents"_s;
    }
    if (xTwips < IneligibleTabRightTwips)
        return u"Show songs which are cannot have album cover art embedded"_s;
    return {};
}

} // namespace mainwindow
