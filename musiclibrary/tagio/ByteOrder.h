#pragma once

// Numbers stored in file headers, most or least significant byte first. The
// caller has checked that the bytes are there.

#include <QByteArray>

namespace musiclibrary::tagio {

inline quint32 bigEndian(const QByteArray& bytes, qsizetype at, int count) {
    quint32 value = 0;
    for (int i = 0; i < count; ++i)
        value = (value << 8) | quint8(bytes[at + i]);
    return value;
}

inline quint32 littleEndian(const QByteArray& bytes, qsizetype at, int count) {
    quint32 value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = (value << 8) | quint8(bytes[at + i]);
    return value;
}

inline void appendBigEndian(QByteArray& bytes, quint32 value, int count) {
    for (int i = count - 1; i >= 0; --i)
        bytes.append(char((value >> (8 * i)) & 0xFF));
}

} // namespace musiclibrary::tagio
