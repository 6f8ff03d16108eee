#pragma once

// Conversions between TagLib's and Qt's types, and opening files the way every
// container here needs them. Private to the engine: TagLib stays behind it.

#include <QByteArray>
#include <QFile>
#include <QString>

#include <taglib/tbytevector.h>
#include <taglib/tfile.h>
#include <taglib/tfilestream.h>
#include <taglib/tstring.h>

#include <memory>

namespace musiclibrary::tagio {

inline QByteArray toBytes(const TagLib::ByteVector& bytes) {
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

inline TagLib::ByteVector toByteVector(const QByteArray& bytes) {
    return TagLib::ByteVector(bytes.constData(), static_cast<unsigned int>(bytes.size()));
}

inline QString toQString(const TagLib::String& text) {
    return QString::fromStdWString(text.toWString());
}

// A stream on the file, read-only or read-write. TagLib's file classes keep a
// pointer to it, so it must outlive them; it is null when the file cannot be
// opened (missing, unreadable, or not writable when writing was asked for).
std::unique_ptr<TagLib::FileStream> openStream(const QString& path, bool readOnly);

// The bytes stored at offset, at most length of them; fewer at the end of the
// file and none for a range outside it.
QByteArray readRange(TagLib::File& file, qint64 offset, qint64 length);

} // namespace musiclibrary::tagio
