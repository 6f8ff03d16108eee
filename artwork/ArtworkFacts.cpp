#include "artwork/ArtworkFacts.h"

#include "artwork/ImageMeasure.h"

#include <cmath>

namespace artwork {

SongArtwork::SongArtwork(musiclibrary::TrackPtr track) : m_track(std::move(track)) {
    if (!m_track)
        return;
    const musiclibrary::ArtworkCollectionPtr collection = m_track->Artwork();
    m_count = collection ? collection->Count() : 0;
    for (int position = 1; position <= m_count; ++position)
        if (collection->Item(position)->IsDownloadedArtwork())
            ++m_downloaded;
}

SongArtwork::SongArtwork(int count, int downloaded, QList<QByteArray> data)
    : m_count(count), m_downloaded(downloaded), m_data(std::move(data)) {}

void SongArtwork::load() {
    if (m_data)
        return;
    m_data = m_track ? m_track->ArtworkData() : QList<QByteArray>();
}

const QByteArray& SongArtwork::data(int position) {
    static const QByteArray none;
    load();
    return position >= 1 && position <= m_data->size() ? (*m_data)[position - 1] : none;
}

int32_t SongArtwork::area(int position) {
    if (m_areas.isEmpty()) {
        for (int p = 1; p <= m_count; ++p)
            m_areas.append(GetArtworkXyprod(data(p)));
    }
    return position >= 1 && position <= m_areas.size() ? m_areas[position - 1] : 0;
}

int ClosestArtwork(SongArtwork& artwork, int side) {
    if (artwork.count() == 1)
        return 1;
    int best = 0;
    double bestDistance = 0;
    int32_t bestArea = 0;
    for (int position = 1; position <= artwork.count(); ++position) {
        const int32_t area = artwork.area(position);
        if (area <= 0)
            continue;
        const double distance = std::fabs(double(side) - std::sqrt(double(area)));
        if (best == 0 || distance < bestDistance || (distance == bestDistance && area > bestArea)) {
            best = position;
            bestDistance = distance;
            bestArea = area;
        }
    }
    return best;
}

} // namespace artwork
