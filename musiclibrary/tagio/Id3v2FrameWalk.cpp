#include "musiclibrary/tagio/Id3v2FrameWalk.h"

using namespace Qt::StringLiterals;

namespace musiclibrary::tagio {

namespace {

constexpr qint64 HeaderSize = 10;
constexpr qint64 FooterSize = 10;
constexpr unsigned char FlagUnsynchronisation = 0x80;
constexpr unsigned char FlagExtendedHeader = 0x40;
constexpr unsigned char FlagFooter = 0x10;
constexpr unsigned char FrameFlagDataLengthIndicator = 0x01;

unsigned char byteAt(const QByteArray& data, qint64 pos) {
    return static_cast<unsigned char>(data.at(pos));
}

quint32 bigEndian(const QByteArray& data, qint64 pos, int count) {
    quint32 value = 0;
    for (int i = 0; i < count; ++i)
        value = (value << 8) | byteAt(data, pos + i);
    return value;
}

// Seven bits per byte; a value whose bytes do not fit is read as a plain
// big-endian number, as TagLib does for tags of careless writers.
quint32 syncSafe(const QByteArray& data, qint64 pos) {
    quint32 value = 0;
    for (int i = 0; i < 4; ++i) {
        const unsigned char b = byteAt(data, pos + i);
        if (b & 0x80)
            return bigEndian(data, pos, 4);
        value = (value << 7) | b;
    }
    return value;
}

bool isFrameIdChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

bool isFrameId(const QByteArray& id) {
    for (char c : id) {
        if (!isFrameIdChar(c))
            return false;
    }
    return !id.isEmpty();
}

QByteArray removeUnsynchronisation(const QByteArray& data) {
    QByteArray out;
    out.reserve(data.size());
    for (qsizetype i = 0; i < data.size(); ++i) {
        out.append(data.at(i));
        if (byteAt(data, i) == 0xFF && i + 1 < data.size() && data.at(i + 1) == 0)
            ++i;
    }
    return out;
}

// The size of the extended header, -1 when it does not fit the frame area.
qint64 extendedHeaderSize(const QByteArray& body, int majorVersion) {
    if (body.size() < 4)
        return -1;
    // v2.3 counts the bytes after the size field, v2.4 the whole header.
    const qint64 size =
        majorVersion == 3 ? qint64(bigEndian(body, 0, 4)) + 4 : qint64(syncSafe(body, 0));
    return size >= 6 && size <= body.size() ? size : -1;
}

} // namespace

qint64 id3v2CompleteSize(const QByteArray& header) {
    if (header.size() < HeaderSize || !header.startsWith("ID3"))
        return -1;
    // TagLib takes a tag whose size bytes are not sync-safe for an empty one.
    for (int i = 6; i < 10; ++i) {
        if (byteAt(header, i) & 0x80)
            return -1;
    }
    const qint64 footer =
        byteAt(header, 3) == 4 && (byteAt(header, 5) & FlagFooter) ? FooterSize : 0;
    return HeaderSize + syncSafe(header, 6) + footer;
}

Id3v2Walk walkId3v2Tag(const QByteArray& tag) {
    Id3v2Walk walk;
    if (tag.size() < HeaderSize || !tag.startsWith("ID3"))
        return walk;
    walk.present = true;
    walk.majorVersion = byteAt(tag, 3);
    const unsigned char flags = byteAt(tag, 5);
    walk.completeSize = id3v2CompleteSize(tag);
    if (walk.completeSize < 0) {
        walk.problem = u"its ID3v2 tag has an invalid size"_s;
        return walk;
    }
    if (walk.majorVersion < 2 || walk.majorVersion > 4) {
        walk.problem = u"its ID3v2 tag has the unknown version 2.%1"_s.arg(walk.majorVersion);
        return walk;
    }
    if (walk.completeSize > tag.size()) {
        walk.problem = u"its ID3v2 tag is longer than the file"_s;
        return walk;
    }
    const qint64 footer = walk.majorVersion == 4 && (flags & FlagFooter) ? FooterSize : 0;
    QByteArray body = tag.mid(HeaderSize, walk.completeSize - HeaderSize - footer);
    // Before v2.4 unsynchronisation covers the whole tag, frame headers included.
    if ((flags & FlagUnsynchronisation) && walk.majorVersion <= 3)
        body = removeUnsynchronisation(body);

    qint64 pos = 0;
    if (flags & FlagExtendedHeader) {
        // In v2.2 the same bit meant a compressed tag, which nobody can read.
        pos = walk.majorVersion == 2 ? -1 : extendedHeaderSize(body, walk.majorVersion);
        if (pos < 0) {
            walk.problem = u"its ID3v2 tag has a damaged extended header"_s;
            return walk;
        }
    }

    const int frameHeaderSize = walk.majorVersion == 2 ? 6 : 10;
    const int idSize = walk.majorVersion == 2 ? 3 : 4;
    while (pos + frameHeaderSize <= body.size()) {
        if (body.at(pos) == 0)
            break; // padding
        const QByteArray id = body.mid(pos, idSize);
        qint64 size = 0;
        qint64 smallest = 1;
        if (walk.majorVersion == 2) {
            size = bigEndian(body, pos + 3, 3);
        } else if (walk.majorVersion == 3) {
            size = bigEndian(body, pos + 4, 4);
        } else {
            size = syncSafe(body, pos + 4);
            if (byteAt(body, pos + 9) & FrameFlagDataLengthIndicator)
                smallest = 5; // the indicator alone takes four bytes
        }
        const bool fits = size >= smallest && size <= body.size() - pos - frameHeaderSize;
        if (!isFrameId(id) || !fits) {
            walk.problem = u"its ID3v2 tag holds a damaged frame after %1 good ones, and saving "
                           u"would lose the frames after it"_s.arg(walk.frames);
            return walk;
        }
        ++walk.frames;
        if (id == "TDAT" || id == "TIME" || id == "TDA" || id == "TIM")
            ++walk.mergedOnRead;
        pos += frameHeaderSize + size;
    }
    // What follows is padding, or a few bytes too short for a frame header
    // that TagLib ignores as well.
    if (!((flags & FlagUnsynchronisation) && walk.majorVersion <= 3))
        walk.framesEnd = HeaderSize + pos;
    return walk;
}

} // namespace musiclibrary::tagio
