#include "catalogue/TrackCatalogue.h"

#include <algorithm>

namespace catalogue {

bool TrackCatalogue::EnsureCapacity(int32_t trackCount) {
    if (trackCount <= CatalogueCapacity())
        return false;
    std::vector<TrackRecord> fresh(static_cast<size_t>(trackCount));
    m_records.swap(fresh);
    m_count = 0;
    return true;
}

void TrackCatalogue::SetCatalogueCount(int32_t count) {
    m_count = std::clamp(count, int32_t{0}, CatalogueCapacity());
}

TrackRecord* TrackCatalogue::Record(int32_t index) {
    if (index < 1 || index > CatalogueCapacity())
        return nullptr;
    return &m_records[static_cast<size_t>(index - 1)];
}

const TrackRecord* TrackCatalogue::Record(int32_t index) const {
    return const_cast<TrackCatalogue*>(this)->Record(index);
}

} // namespace catalogue
