#pragma once

// The items of an MP4 tag as the atoms name them, read without TagLib. TagLib
// keeps only the items it understands and forgets the rest on its next save,
// so a write compares these names before and after to notice a loss.

#include <QByteArray>
#include <QStringList>

#include <functional>
#include <optional>

namespace musiclibrary::tagio {

// Reads at most length bytes at offset; fewer at the end of the file.
using ByteRangeReader = std::function<QByteArray(qint64 offset, qint64 length)>;

// The names of the atoms in moov/udta/meta/ilst, sorted; a freeform item
// ("----") is named with its mean and name ("----:com.apple.iTunes:MOOD") so
// that two of them tell apart. Empty when the file has no item list.
// nullopt when an atom on the way is damaged: a size smaller than its header,
// or reaching past its parent or the end of the file.
std::optional<QStringList> mp4ItemNames(qint64 fileLength, const ByteRangeReader& read);

} // namespace musiclibrary::tagio
