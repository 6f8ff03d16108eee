#include "musiclibrary/tagio/XiphStreams.h"

#include "musiclibrary/tagio/ByteOrder.h"

#include <array>

using namespace Qt::StringLiterals;

namespace musiclibrary::tagio {

namespace {

qint64 id3v2TagBytes(const QByteArray& head) {
    if (head.size() < 10 || !head.startsWith("ID3"))
        return 0;
    qint64 size = 0;
    for (int i = 6; i < 10; ++i)
        size = (size << 7) | (quint8(head[i]) & 0x7F);
    const bool footer = quint8(head[5]) & 0x10;
    return 10 + size + (footer ? 10 : 0);
}

} // namespace

// A picture block whose own lengths run past it would make a reader take
// bytes of the next block, or of the audio, for the picture.
QString pictureBlockProblem(const QByteArray& body) {
    qint64 at = 4;
    for (int field = 0; field < 2; ++field) {
        if (at + 4 > body.size())
            return u"a picture block is cut short."_s;
        at += 4 + qint64(bigEndian(body, at, 4));
    }
    at += 16;
    if (at + 4 > body.size())
        return u"a picture block is cut short."_s;
    const qint64 dataLength = bigEndian(body, at, 4);
    if (at + 4 + dataLength > body.size())
        return u"a picture block says its image is longer than the block."_s;
    return {};
}

FlacLayout walkFlac(qint64 fileSize, const RangeReader& read, QString& error) {
    FlacLayout layout;
    layout.fileSize = fileSize;
    layout.tagBytes = id3v2TagBytes(read(0, 10));
    qint64 at = layout.tagBytes;
    if (read(at, 4) != "fLaC") {
        error = u"it is not a FLAC stream."_s;
        return layout;
    }
    at += 4;
    bool last = false;
    while (!last) {
        const QByteArray header = read(at, 4);
        if (header.size() < 4) {
            error = u"its metadata ends before its last block."_s;
            return layout;
        }
        last = quint8(header[0]) & 0x80;
        const FlacBlock block{quint8(header[0]) & 0x7F, at, bigEndian(header, 1, 3)};
        if (block.type == 127) {
            error = u"a metadata block has an invalid type."_s;
            return layout;
        }
        if (block.offset + 4 + block.length > fileSize) {
            error = u"a metadata block runs past the end of the file."_s;
            return layout;
        }
        if (layout.blocks.isEmpty() && (block.type != FlacStreamInfo || block.length != 34)) {
            error = u"its stream information block is missing or truncated."_s;
            return layout;
        }
        if (!layout.blocks.isEmpty() && block.type == FlacStreamInfo) {
            error = u"it holds a second stream information block."_s;
            return layout;
        }
        if (block.type == FlacPicture) {
            const QString problem = pictureBlockProblem(read(block.offset + 4, block.length));
            if (!problem.isEmpty()) {
                error = problem;
                return layout;
            }
        }
        layout.blocks.append(block);
        at = block.offset + 4 + block.length;
    }
    layout.audioStart = at;
    const QByteArray sync = read(at, 2);
    if (sync.size() < 2 || quint8(sync[0]) != 0xFF || (quint8(sync[1]) & 0xFE) != 0xF8)
        error = u"no audio frame follows its metadata."_s;
    return layout;
}

quint32 oggChecksum(const QByteArray& page) {
    static const std::array<quint32, 256> table = [] {
        std::array<quint32, 256> entries{};
        for (quint32 i = 0; i < 256; ++i) {
            quint32 value = i << 24;
            for (int bit = 0; bit < 8; ++bit)
                value = (value & 0x80000000u) ? (value << 1) ^ 0x04C11DB7u : value << 1;
            entries[i] = value;
        }
        return entries;
    }();
    quint32 crc = 0;
    for (const char byte : page)
        crc = (crc << 8) ^ table[((crc >> 24) ^ quint8(byte)) & 0xFF];
    return crc;
}

QList<OggPage> walkOgg(qint64 fileSize, const RangeReader& read, QString& error) {
    QList<OggPage> pages;
    qint64 at = 0;
    while (at < fileSize) {
        const QByteArray header = read(at, 27);
        if (header.size() < 27 || !header.startsWith("OggS") || header[4] != 0) {
            error = u"it holds bytes that are not Ogg pages."_s;
            return pages;
        }
        OggPage page;
        page.offset = at;
        page.flags = quint8(header[5]);
        page.granule =
            qint64(littleEndian(header, 6, 4)) | (qint64(littleEndian(header, 10, 4)) << 32);
        page.serial = littleEndian(header, 14, 4);
        page.sequence = littleEndian(header, 18, 4);
        const int segments = quint8(header[26]);
        const QByteArray table = read(at + 27, segments);
        if (table.size() < segments) {
            error = u"its last page is cut short."_s;
            return pages;
        }
        qint64 body = 0;
        for (const char lace : table) {
            body += quint8(lace);
            if (quint8(lace) < 255)
                ++page.packetsEnded;
        }
        page.continued = segments > 0 && quint8(table[segments - 1]) == 255;
        page.headerBytes = 27 + segments;
        page.length = page.headerBytes + body;
        if (at + page.length > fileSize) {
            error = u"its last page is cut short."_s;
            return pages;
        }
        QByteArray whole = read(at, page.length);
        const quint32 stored = littleEndian(whole, 22, 4);
        whole.replace(22, 4, QByteArray(4, '\0'));
        page.crcValid = oggChecksum(whole) == stored;
        if (!pages.isEmpty() && (page.serial != pages.first().serial || (page.flags & 2))) {
            error = u"it holds more than one stream, which the program does not change."_s;
            return pages;
        }
        if (pages.isEmpty() && !(page.flags & 2)) {
            error = u"its first page does not begin its stream."_s;
            return pages;
        }
        pages.append(page);
        at += page.length;
    }
    if (pages.isEmpty())
        error = u"it holds no Ogg pages."_s;
    return pages;
}

} // namespace musiclibrary::tagio
