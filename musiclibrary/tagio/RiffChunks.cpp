#include "musiclibrary/tagio/RiffChunks.h"

namespace musiclibrary::tagio {

namespace {

constexpr qint64 FileHeaderSize = 12;
constexpr qint64 ChunkHeaderSize = 8;
// Far more than any real file holds; keeps a crafted file from making the
// list grow without end.
constexpr int MaxChunks = 100000;

quint32 readSize(const QByteArray& bytes, qsizetype pos, bool bigEndian) {
    quint32 value = 0;
    for (int i = 0; i < 4; ++i) {
        const int index = bigEndian ? i : 3 - i;
        value = (value << 8) | static_cast<unsigned char>(bytes.at(pos + index));
    }
    return value;
}

} // namespace

RiffLayout readRiffLayout(const ByteReader& read, qint64 fileLength, bool bigEndian) {
    RiffLayout layout;
    const QByteArray header = read(0, FileHeaderSize);
    if (header.size() < FileHeaderSize)
        return layout;
    qint64 pos = FileHeaderSize;
    while (pos + ChunkHeaderSize <= fileLength && layout.chunks.size() < MaxChunks) {
        const QByteArray chunkHeader = read(pos, ChunkHeaderSize);
        if (chunkHeader.size() < ChunkHeaderSize) {
            layout.cutOff = true;
            break;
        }
        RiffChunk chunk{chunkHeader.left(4), readSize(chunkHeader, 4, bigEndian),
                        pos + ChunkHeaderSize};
        // Chunks are padded to an even length.
        const qint64 next = chunk.dataOffset + chunk.size + (chunk.size & 1);
        if (chunk.dataOffset + chunk.size > fileLength) {
            layout.cutOff = true;
            break;
        }
        layout.chunks.append(chunk);
        pos = next;
    }
    return layout;
}

QList<RiffChunk> chunksBesideId3(const RiffLayout& layout) {
    QList<RiffChunk> result;
    for (const RiffChunk& chunk : layout.chunks) {
        if (!chunk.isId3()) {
            RiffChunk sizeOnly = chunk;
            sizeOnly.dataOffset = 0;
            result.append(sizeOnly);
        }
    }
    return result;
}

} // namespace musiclibrary::tagio
