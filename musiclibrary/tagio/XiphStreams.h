#pragma once

// The layout of FLAC and Ogg files, read from their bytes rather than from
// TagLib: what a save must leave alone (the audio, every other metadata
// block, every audio page) and what TagLib would read wrongly or not at all
// (a damaged block, a second logical stream). Both walks check every length
// against what is really there before trusting it.

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>

namespace musiclibrary::tagio {

// Reads length bytes at offset (fewer at the end of the file).
using RangeReader = std::function<QByteArray(qint64 offset, qint64 length)>;

// FLAC's limit for one metadata block's body.
inline constexpr qint64 MaxFlacBlockBytes = (1 << 24) - 1;
// The picture block's own fields around the image: type, MIME and description
// lengths, width, height, depth, colours and data length.
inline constexpr qint64 FlacPictureFieldBytes = 32;

enum FlacBlockType : int {
    FlacStreamInfo = 0,
    FlacPadding = 1,
    FlacVorbisComment = 4,
    FlacPicture = 6
};

struct FlacBlock {
    int type = 0;
    qint64 offset = 0; // of its 4-byte header
    qint64 length = 0; // of its body
};

struct FlacLayout {
    qint64 tagBytes = 0; // an ID3v2 tag before the stream, which some tools add
    QList<FlacBlock> blocks;
    qint64 audioStart = 0; // the first frame
    qint64 fileSize = 0;
};

// The metadata blocks of a FLAC file and where its audio starts; error
// describes the damage (a sentence ending in a full stop) when the walk
// finds any, and the layout is then not to be used.
FlacLayout walkFlac(qint64 fileSize, const RangeReader& read, QString& error);

struct OggPage {
    qint64 offset = 0;
    qint64 length = 0; // header, segment table and body
    quint8 flags = 0;  // 1 continued, 2 first of its stream, 4 last
    qint64 granule = 0;
    quint32 serial = 0;
    quint32 sequence = 0;
    int headerBytes = 0; // 27 plus the segment table
    bool crcValid = false;
    // The packets that end on this page; a packet spanning pages ends on the
    // last of them.
    int packetsEnded = 0;
    // Its last packet goes on on the next page.
    bool continued = false;
};

// The pages of an Ogg file, each checked for its capture pattern and its
// length; error as for walkFlac. One logical stream only: a file holding
// several, or a chain of streams, is described as such.
QList<OggPage> walkOgg(qint64 fileSize, const RangeReader& read, QString& error);

// Why the body of a FLAC picture block (as FLAC files and Vorbis comments
// keep it) is damaged, empty when it is whole.
QString pictureBlockProblem(const QByteArray& body);

// The Ogg checksum of page bytes whose checksum field is zero.
quint32 oggChecksum(const QByteArray& page);

} // namespace musiclibrary::tagio
