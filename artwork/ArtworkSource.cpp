#include "artwork/ArtworkSource.h"

using namespace Qt::StringLiterals;

namespace artwork {

bool IsArtworkSource(int32_t value) {
    return value >= 1 && value <= SourceCount;
}

QString ArtworkSourceLabel(int32_t source) {
    switch (source) {
    case SourceClosest:
        return u"Image closest to target size (below)"_s;
    case SourceDownloaded:
        return u"Downloaded by iTunes"_s;
    case SourceFolderJpg:
        return u"Folder.JPG"_s;
    case SourceAlbumArtSmall:
        return u"AlbumArtSmall.JPG"_s;
    case SourceWmpSmall:
        return u"AlbumArt_{WmpId}_Small.JPG"_s;
    case SourceWmpLarge:
        return u"AlbumArt_{WmpId}_Large.JPG"_s;
    case SourceSmallest:
        return u"Smallest image"_s;
    case SourceLargest:
        return u"Largest image"_s;
    default:
        return {};
    }
}

QString SourceFileName(int32_t source, const QString& wmpGuidLcase) {
    switch (source) {
    case SourceFolderJpg:
        return u"Folder.jpg"_s;
    case SourceAlbumArtSmall:
        return u"AlbumArtSmall.jpg"_s;
    case SourceWmpSmall:
        return u"AlbumArt_{"_s + wmpGuidLcase + u"}_Small.jpg"_s;
    case SourceWmpLarge:
        return u"AlbumArt_{"_s + wmpGuidLcase + u"}_Large.jpg"_s;
    default:
        return {};
    }
}

SourceOrder::SourceOrder() {
    for (int index = 1; index <= SourceCount; ++index)
        setSlot(index, index);
}

int32_t SourceOrder::slot(int index) const {
    return index >= 1 && index <= SourceCount ? m_slots[size_t(index - 1)] : 0;
}

void SourceOrder::setSlot(int index, int32_t source) {
    if (index >= 1 && index <= SourceCount)
        m_slots[size_t(index - 1)] = source;
}

void SourceOrder::clear() {
    m_slots.fill(0);
}

} // namespace artwork
