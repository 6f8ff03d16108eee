#pragma once

// The chunk list of a RIFF/WAVE or FORM/AIFF file, read without TagLib: to
// find the ID3 chunk, and to check after a save that every other chunk is
// still there with its size.

#include <QByteArray>
#include <QList>

#include <functional>

namespace musiclibrary::tagio {

struct RiffChunk {
    QByteArray id; // four characters
    quint32 size = 0;
    qint64 dataOffset = 0;

    bool isId3() const { return id == "ID3 " || id == "id3 "; }
    bool operator==(const RiffChunk&) const = default;
};

struct RiffLayout {
    QList<RiffChunk> chunks;
    // A chunk runs past the end of the file (a cut-off copy, or garbage).
    bool cutOff = false;
};

// Reads up to length bytes at offset; fewer at the end of the file.
using ByteReader = std::function<QByteArray(qint64 offset, qint64 length)>;

// bigEndian: AIFF. Never reads past fileLength; stops at the first chunk that
// does not fit.
RiffLayout readRiffLayout(const ByteReader& read, qint64 fileLength, bool bigEndian);

// The chunks other than ID3 chunks, with their sizes (offsets move on a save).
QList<RiffChunk> chunksBesideId3(const RiffLayout& layout);

} // namespace musiclibrary::tagio
