#include "musiclibrary/tagio/TagLibBridge.h"

#include <algorithm>
#include <limits>

namespace musiclibrary::tagio {

std::unique_ptr<TagLib::FileStream> openStream(const QString& path, bool readOnly) {
    const QByteArray name = QFile::encodeName(path);
    auto stream = std::make_unique<TagLib::FileStream>(name.constData(), readOnly);
    // Asked for writing, FileStream quietly falls back to read-only.
    if (!stream->isOpen() || (!readOnly && stream->readOnly()))
        return nullptr;
    return stream;
}

QByteArray readHead(TagLib::IOStream& stream, qint64 length) {
    stream.seek(0);
    const QByteArray head = toBytes(stream.readBlock(static_cast<unsigned long>(length)));
    stream.seek(0);
    return head;
}

QByteArray readRange(TagLib::File& file, qint64 offset, qint64 length) {
    const qint64 fileLength = file.length();
    if (offset < 0 || length <= 0 || offset >= fileLength)
        return {};
    length = std::min(length, fileLength - offset);
    if (length > std::numeric_limits<unsigned int>::max())
        return {};
    file.seek(static_cast<long>(offset));
    return toBytes(file.readBlock(static_cast<unsigned long>(length)));
}

} // namespace musiclibrary::tagio
