#pragma once

// Conversions between TagLib's and Qt's types, and opening files the way every
// container here needs them. Private to the engine: TagLib stays behind it.

#include "musiclibrary/AudioFileIO.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <taglib/tbytevector.h>
#include <taglib/tfile.h>
#include <taglib/tfilestream.h>
#include <taglib/tstring.h>

#include <algorithm>
#include <memory>

namespace musiclibrary::tagio {

inline QByteArray toBytes(const TagLib::ByteVector& bytes) {
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

inline TagLib::ByteVector toByteVector(const QByteArray& bytes) {
    return TagLib::ByteVector(bytes.constData(), static_cast<unsigned int>(bytes.size()));
}

// TagLib keeps its text as a wide string: taken in place, not copied first.
inline QString toQString(const TagLib::String& text) {
    return QString::fromWCharArray(text.toCWString(), static_cast<qsizetype>(text.size()));
}

// The format and size of a picture, read in place: indexing a library needs
// neither a copy of each cover nor more than its first bytes.
inline PictureFacts pictureFactsOf(const TagLib::ByteVector& data) {
    const auto size = static_cast<qsizetype>(data.size());
    const QByteArray head = QByteArray::fromRawData(data.data(), std::min<qsizetype>(size, 16));
    return PictureFacts{imageFormatOf(head), size};
}

// A stream on the file, read-only or read-write. TagLib's file classes keep a
// pointer to it, so it must outlive them; it is null when the file cannot be
// opened (missing, unreadable, or not writable when writing was asked for).
std::unique_ptr<TagLib::FileStream> openStream(const QString& path, bool readOnly);

// The first length bytes of the stream, which is then left at its start.
QByteArray readHead(TagLib::IOStream& stream, qint64 length);

// The bytes stored at offset, at most length of them; fewer at the end of the
// file and none for a range outside it.
QByteArray readRange(TagLib::File& file, qint64 offset, qint64 length);

} // namespace musiclibrary::tagio
