#pragma once

// The kinds of source an image to embed can come from, and the priority list
// the Embed Artwork wizard fills.

#include <QString>

#include <array>
#include <cstdint>

namespace artwork {

enum ArtworkSource : int32_t {
    SourceClosest = 1,       // the candidate closest to the target size
    SourceDownloaded = 2,    // the song's downloaded artwork
    SourceFolderJpg = 3,     // Folder.jpg of the song's folder
    SourceAlbumArtSmall = 4, // AlbumArtSmall.jpg
    SourceWmpSmall = 5,      // AlbumArt_{guid}_Small.jpg
    SourceWmpLarge = 6,      // AlbumArt_{guid}_Large.jpg
    SourceSmallest = 7,      // the smallest candidate
    SourceLargest = 8,       // the largest candidate
};

inline constexpr int SourceCount = 8;

bool IsArtworkSource(int32_t value);
// The wizard's text for a source; empty for any other value.
QString ArtworkSourceLabel(int32_t source);
// Sources 3 to 6: the file name in the song's folder (guid in lower case,
// as the catalogue keeps it); empty for the others.
QString SourceFileName(int32_t source, const QString& wmpGuidLcase);
// Sources that choose among measured images.
inline bool IsSizeSource(int32_t source) {
    return source == SourceClosest || source == SourceSmallest || source == SourceLargest;
}

// Exactly eight slots, slot 1 first. A slot holding 0, or anything that is
// no source, ends the walk.
class SourceOrder {
public:
    // Every source in the default order.
    SourceOrder();

    int32_t slot(int index) const; // 1-based; 0 outside 1..8
    void setSlot(int index, int32_t source);
    void clear();
    // Clears the slots, then fills slots 1, 2, ... with sources (at most 8).
    template <typename Range> void assign(const Range& sources) {
        clear();
        int index = 1;
        for (int32_t source : sources)
            if (index <= SourceCount)
                setSlot(index++, source);
    }

private:
    std::array<int32_t, SourceCount> m_slots{};
};

} // namespace artwork
