#pragma once

// What the size rules of Delete Artwork and the folder thumbnails need to
// know of a song's artwork, read from the library once per song: how many
// images, which are downloaded, their byte lengths and pixel areas.

#include "musiclibrary/ITunes.h"

#include <QByteArray>
#include <QList>

#include <cstdint>
#include <optional>

namespace artwork {

class SongArtwork {
public:
    // Reads the count and the downloaded flags; the bytes only when asked.
    // Throws what the library throws.
    explicit SongArtwork(musiclibrary::TrackPtr track);
    // For rules tested without a library.
    SongArtwork(int count, int downloaded, QList<QByteArray> data);

    int count() const { return m_count; }
    int downloaded() const { return m_downloaded; }
    // 1-based; the bytes are read on first use (one read of the file).
    const QByteArray& data(int position);
    // The byte length, as a copy of the image in a file would have.
    qint64 byteLength(int position) { return data(position).size(); }
    // Width x height in pixels, 0 when the image cannot be read.
    int32_t area(int position);

private:
    void load();

    musiclibrary::TrackPtr m_track;
    int m_count = 0;
    int m_downloaded = 0;
    std::optional<QList<QByteArray>> m_data;
    QList<int32_t> m_areas;
};

// The position of the image whose side (square root of its area) is nearest
// side; images of area 0 are left out; on an equal distance an image of a
// strictly larger area wins. A song with exactly one image gives 1 without
// measuring. 0 when no image qualifies.
int ClosestArtwork(SongArtwork& artwork, int side);

} // namespace artwork
