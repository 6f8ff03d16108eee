#include "musiclibrary/tagio/ImageHeader.h"

#include "musiclibrary/tagio/ByteOrder.h"

#include <algorithm>

namespace musiclibrary::tagio {

namespace {

ImageHeader pngHeader(const QByteArray& image) {
    // Signature, then the IHDR chunk: length, type, width, height, depth, colour type.
    if (image.size() < 26 || image.mid(12, 4) != "IHDR")
        return {};
    static const int channels[] = {1, 0, 3, 1, 2, 0, 4};
    const int colourType = quint8(image[25]);
    const int channelCount = colourType < 7 ? channels[colourType] : 0;
    const quint32 bits = quint8(image[24]);
    ImageHeader header{bigEndian(image, 16, 4), bigEndian(image, 20, 4), bits * channelCount, 0};
    if (colourType == 3) {
        header.depth = bits;
        header.colours = 1u << std::min<quint32>(bits, 8);
    }
    return header;
}

ImageHeader jpegHeader(const QByteArray& image) {
    qsizetype at = 2;
    while (at + 4 <= image.size()) {
        if (quint8(image[at]) != 0xFF)
            return {};
        const quint8 marker = quint8(image[at + 1]);
        if (marker == 0xFF) {
            ++at;
            continue;
        }
        const bool startOfFrame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        const quint32 length = bigEndian(image, at + 2, 2);
        if (startOfFrame) {
            if (at + 10 > image.size())
                return {};
            return {bigEndian(image, at + 7, 2), bigEndian(image, at + 5, 2),
                    quint32(quint8(image[at + 4])) * quint8(image[at + 9]), 0};
        }
        if (length < 2)
            return {};
        at += 2 + length;
    }
    return {};
}

ImageHeader bmpHeader(const QByteArray& image) {
    if (image.size() < 30)
        return {};
    const qint32 height = qint32(littleEndian(image, 22, 4));
    const quint32 depth = littleEndian(image, 28, 2);
    return {littleEndian(image, 18, 4), quint32(height < 0 ? -qint64(height) : height), depth,
            depth <= 8 ? 1u << depth : 0};
}

ImageHeader gifHeader(const QByteArray& image) {
    if (image.size() < 11)
        return {};
    const quint8 packed = quint8(image[10]);
    const quint32 bits = (packed & 0x07) + 1;
    return {littleEndian(image, 6, 2), littleEndian(image, 8, 2), bits,
            (packed & 0x80) ? 1u << bits : 0};
}

} // namespace

ImageHeader readImageHeader(const QByteArray& image) {
    if (image.startsWith("\x89PNG\r\n\x1A\n"))
        return pngHeader(image);
    if (image.startsWith("\xFF\xD8"))
        return jpegHeader(image);
    if (image.startsWith("BM"))
        return bmpHeader(image);
    if (image.startsWith("GIF8"))
        return gifHeader(image);
    return {};
}

} // namespace musiclibrary::tagio
