#pragma once

// The program's picture of the library after a scan: one record per library
// track, in library order, addressed 1-based like the library's collections.

#include "catalogue/ArtTypes.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

namespace catalogue {

struct TrackRecord {
    QString Album;
    QString Artist;
    int32_t ArtTypes = 0;
    // The file's kind can hold embedded images.
    bool FormatOk = false;
    bool FileExists = false;
    // Full path of the song file, trimmed; empty when the library has none.
    QString Location;
    // Folder of Location, ending in "/", exactly as the file system spells it.
    QString Folder;
    int32_t Status = StatusEligible;
    // Names of the other pictures in Folder, as the file system spells them;
    // gathered only when ArtTypes has the Other bit. Empty means none.
    QStringList OtherImages;
    int16_t TrackNumber = 0;
    QString Name;
    // Lower-case GUID of the folder's Windows Media Player images, or empty.
    QString WmpGuidLcase;
    int32_t PersistentIdHigh = 0;
    int32_t PersistentIdLow = 0;
    // Node of Folder in the folder tree; 0 when none.
    int32_t PathNode = 0;
};

class TrackCatalogue {
public:
    // Allocated records. Only grows: growing replaces every record by an
    // empty one, since record i must never describe a track of another
    // library order.
    int32_t CatalogueCapacity() const { return static_cast<int32_t>(m_records.size()); }
    // Returns true when the array was replaced.
    bool EnsureCapacity(int32_t trackCount);

    // The record being filled during a scan, afterwards the number of
    // filled records. Kept within 0..CatalogueCapacity.
    int32_t CatalogueCount() const { return m_count; }
    void SetCatalogueCount(int32_t count);

    // 1 <= index <= CatalogueCount.
    bool IsFilled(int32_t index) const { return index >= 1 && index <= m_count; }
    // 1-based; nullptr outside 1..CatalogueCapacity.
    TrackRecord* Record(int32_t index);
    const TrackRecord* Record(int32_t index) const;
    // 1-based access for callers that have checked the index.
    TrackRecord& operator[](int32_t index) { return m_records[static_cast<size_t>(index - 1)]; }
    const TrackRecord& operator[](int32_t index) const {
        return m_records[static_cast<size_t>(index - 1)];
    }

private:
    std::vector<TrackRecord> m_records;
    int32_t m_count = 0;
};

} // namespace catalogue
