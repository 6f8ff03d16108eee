#pragma once

// Which images of a song the Delete Artwork choices remove.

#include "artwork/ArtworkFacts.h"

#include <QList>
#include <QString>

#include <cstdint>

namespace artwork {

struct DeleteParameters {
    bool DeleteDownloaded = false;
    bool DeleteEmbedded = true;
    // A song with exactly one embedded image: 1 never, 2 when smaller than
    // the target, 3 when larger, 4 always.
    int32_t SingleDelete = 1;
    // A song with more: 1 none ... 13 all (the wizard's list, in order).
    int32_t MultipleDelete = 12;
    // Target pixel area; 0 when no target applies.
    int32_t TargetXYProd = 0;
    // Travels with the choices; no backup is written.
    bool MakeBackups = false;
};

enum SingleDeleteRule : int32_t { SingleNever = 1, SingleIfSmaller, SingleIfLarger, SingleAlways };
enum MultipleDeleteRule : int32_t {
    MultipleNone = 1,
    MultipleFirst,
    MultipleAllButFirst,
    MultipleLast,
    MultipleAllButLast,
    MultipleSmallest,
    MultipleAllButSmallest,
    MultipleLargest,
    MultipleAllButLargest,
    MultipleSmallerThanTarget,
    MultipleLargerThanTarget,
    MultipleAllButClosest,
    MultipleAll,
};

// The wizard's entries, in order.
const QStringList& SingleDeleteEntries();
const QStringList& MultipleDeleteEntries();

// Positions in ascending order of byte length, equal lengths in position
// order; images of no length are left out.
QList<int> SortArtworkByFileSize(SongArtwork& artwork);
// Positions whose pixel area is strictly below / above target (an area of
// 0 is below every target).
QList<int> ArtworkSmallerThanTarget(SongArtwork& artwork, int32_t target);
QList<int> ArtworkLargerThanTarget(SongArtwork& artwork, int32_t target);
// Every position but the image closest to the target's side (the square
// root of target, rounded); empty for fewer than two images or when none
// qualifies.
QList<int> ArtworkExceptClosest(SongArtwork& artwork, int32_t target);

// The positions to remove, ascending; empty for choices outside their
// ranges, a song with no images, one with more than one downloaded image,
// or one with downloaded art beside other images.
QList<int> ChooseArtworkToDelete(SongArtwork& artwork, const DeleteParameters& parameters);

} // namespace artwork
