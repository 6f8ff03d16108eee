#pragma once

// The Delete Artwork run over the checked rows of the current tab.

#include "artwork/ArtworkRun.h"
#include "artwork/DeleteRules.h"

namespace artwork {

struct DeleteCounts {
    int files = 0;  // songs that had artwork removed
    int images = 0; // images removed
};

// "Done deleting artwork." with both counts.
QString DeleteDoneText(const DeleteCounts& counts);
// What a song's failure says, with the choice to go on or stop.
QString DeleteErrorMessage(const QString& songName, const QString& description);

// Each checked song loses, in one write, the images the rules choose; a
// failure is shown per song (OK goes on, Cancel stops) and the song counts
// as not changed. Rows stay checked, their kinds rewritten.
DeleteCounts DoDelete2(ArtworkRunContext& context, const DeleteParameters& parameters);

} // namespace artwork
