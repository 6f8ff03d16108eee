#pragma once

// The two embedding runs over checked rows: the Embed Artwork wizard's
// (every source rule, rows stay on their list) and Step 3x's (each song's
// Folder.jpg, embedded rows leave the Eligible list).

#include "artwork/ArtworkRun.h"
#include "artwork/EmbeddingEngine.h"

namespace artwork {

// "You have not chosen any eligible songs ..." / "There are no songs
// eligible ..." as the embedding runs say it.
QString EmbedNothingCheckedText(bool listHasRows);
// "Done embedding artwork." and the count.
QString EmbedDoneText(int embedded);
QString EmbedCheckedWarningText();

// Over the checked rows of the current tab's list. Returns the number of
// songs embedded (-1 when nothing was checked).
int DoEmbed2(ArtworkRunContext& context, EmbeddingEngine& engine,
             const EmbedParameters& parameters);

// Over the checked rows of the Eligible list, after its warning.
int EmbedChecked(ArtworkRunContext& context, EmbeddingEngine& engine);

} // namespace artwork
