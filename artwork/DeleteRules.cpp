#include "artwork/DeleteRules.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace artwork {

namespace {

QList<int> range(int first, int last) {
    QList<int> positions;
    for (int position = first; position <= last; ++position)
        positions.append(position);
    return positions;
}

QList<int> sorted(QList<int> positions) {
    std::sort(positions.begin(), positions.end());
    return positions;
}

} // namespace

const QStringList& SingleDeleteEntries() {
    static const QStringList entries{
        u"No (never)"_s, u"Only if it's smaller than the target size -->"_s,
        u"Only if it's larger than the target size -->"_s, u"Yes (always)"_s};
    return entries;
}

const QStringList& MultipleDeleteEntries() {
    static const QStringList entries{u"None"_s,
                                     u"The first image"_s,
                                     u"All except the first image"_s,
                                     u"The last image"_s,
                                     u"All except the last image"_s,
                                     u"The smallest image"_s,
                                     u"All except the smallest image"_s,
                                     u"The largest image"_s,
                                     u"All except the largest image"_s,
                                     u"All images smaller than the target size -->"_s,
                                     u"All images larger than the target size -->"_s,
                                     u"All except the one closest to the target size -->"_s,
                                     u"All images"_s};
    return entries;
}

QList<int> SortArtworkByFileSize(SongArtwork& artwork) {
    QList<std::pair<qint64, int>> keyed;
    for (int position = 1; position <= artwork.count(); ++position) {
        const qint64 length = artwork.byteLength(position);
        if (length > 0)
            keyed.append({length, position});
    }
    std::sort(keyed.begin(), keyed.end());
    QList<int> positions;
    for (const auto& [length, position] : keyed)
        positions.append(position);
    return positions;
}

QList<int> ArtworkSmallerThanTarget(SongArtwork& artwork, int32_t target) {
    QList<int> positions;
    for (int position = 1; position <= artwork.count(); ++position)
        if (artwork.area(position) < target)
            positions.append(position);
    return positions;
}

QList<int> ArtworkLargerThanTarget(SongArtwork& artwork, int32_t target) {
    QList<int> positions;
    for (int position = 1; position <= artwork.count(); ++position)
        if (artwork.area(position) > target)
            positions.append(position);
    return positions;
}

QList<int> ArtworkExceptClosest(SongArtwork& artwork, int32_t target) {
    if (artwork.count() < 2)
        return {};
    const int side = int(std::lround(std::sqrt(double(std::max<int32_t>(target, 0)))));
    const int closest = ClosestArtwork(artwork, side);
    if (closest == 0)
        return {};
    QList<int> positions = range(1, artwork.count());
    positions.removeOne(closest);
    return positions;
}

QList<int> ChooseArtworkToDelete(SongArtwork& artwork, const DeleteParameters& p) {
    const int n = artwork.count();
    const int d = artwork.downloaded();
    if (p.SingleDelete < 1 || p.SingleDelete > 4 || p.MultipleDelete < 1 || p.MultipleDelete > 13 ||
        n < 1)
        return {};
    // A song holds one kind or the other; one that seems to hold both is
    // left alone.
    if (d > 1 || (d == 1 && n != 1))
        return {};
    if (d == 1)
        return p.DeleteDownloaded ? QList<int>{1} : QList<int>{};
    if (!p.DeleteEmbedded)
        return {};
    if (n == 1) {
        switch (p.SingleDelete) {
        case SingleIfSmaller:
            return ArtworkSmallerThanTarget(artwork, p.TargetXYProd);
        case SingleIfLarger:
            return ArtworkLargerThanTarget(artwork, p.TargetXYProd);
        case SingleAlways:
            return {1};
        default:
            return {};
        }
    }
    const auto bySize = [&] { return SortArtworkByFileSize(artwork); };
    switch (p.MultipleDelete) {
    case MultipleFirst:
        return {1};
    case MultipleAllButFirst:
        return range(2, n);
    case MultipleLast:
        return {n};
    case MultipleAllButLast:
        return range(1, n - 1);
    case MultipleSmallest: {
        const QList<int> s = bySize();
        return s.isEmpty() ? QList<int>{} : QList<int>{s.first()};
    }
    case MultipleAllButSmallest:
        return sorted(bySize().mid(1));
    case MultipleLargest: {
        const QList<int> s = bySize();
        return s.isEmpty() ? QList<int>{} : QList<int>{s.last()};
    }
    case MultipleAllButLargest: {
        QList<int> s = bySize();
        if (!s.isEmpty())
            s.removeLast();
        return sorted(s);
    }
    case MultipleSmallerThanTarget:
        return ArtworkSmallerThanTarget(artwork, p.TargetXYProd);
    case MultipleLargerThanTarget:
        return ArtworkLargerThanTarget(artwork, p.TargetXYProd);
    case MultipleAllButClosest:
        return ArtworkExceptClosest(artwork, p.TargetXYProd);
    case MultipleAll:
        return range(1, n);
    default:
        return {};
    }
}

} // namespace artwork
