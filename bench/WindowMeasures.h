#pragma once

// What a user does with the main window after Step 1, driven offscreen and
// timed: sorting the lists by their header, scrolling them from top to
// bottom, and a run over every checked row with its progress and its Stop
// button. Each measure prints its figures; false when it could not be taken.

#include "support/UiServices.h"

namespace mainwindow {
class FormMain;
}

namespace bench {

// A message during a timed run would wait for a click that never comes: the
// text goes to stderr and the run counts as failed, except for the closing
// information of a run while those are expected.
class BenchMessages : public support::MessageBoxes {
public:
    bool failed = false;
    bool acceptInformation = false;
    int informationShown = 0;
    int show(const QString& text, const QString& title, int buttons, int icon) override;
    int showWithCheckBox(const QString& text, const QString& title, int buttons, int icon,
                         bool* dontShowAgain) override;
};

// Clicks every column header of both lists twice (both orders), as the
// mouse does, and prints the longest click-to-repaint time per column.
bool measureHeaderSorts(mainwindow::FormMain& window);

// Scrolls each list a page per turn of the event loop and prints the
// longest gaps between turns.
bool measureScrolling(mainwindow::FormMain& window);

// Checks every row of the Eligible list and runs the embedding of
// downloaded artwork over them (the songs have none, so no file changes):
// once to the end, sampling the progress bar, then stopped with the Stop
// button at several points. Prints the run's length, the bar's advance and
// how long each Stop took to end the run. messages must be the window's.
bool measureRunAndStop(mainwindow::FormMain& window, BenchMessages& messages);

} // namespace bench
