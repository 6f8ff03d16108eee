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

// An atom of the movie atom's tag path, as file offsets.
struct Mp4Box {
    qint64 offset = 0; // of the header
    qint64 header = 8; // 8, or 16 for a 64-bit size
    qint64 end = 0;
};

// The movie atom of a file whose tag can be changed where it lies: only
// what lies in it moves, the media data and so every chunk offset stays.
struct Mp4MovieTag {
    Mp4Box moov;
    QByteArray moovBytes; // the whole movie atom
    // moov, udta, meta, ilst
    QList<Mp4Box> path;
    // The cover list inside ilst; offset 0 when there is none.
    Mp4Box covr;
    // Its "data" atoms, whole, in order.
    QList<QByteArray> covers;
    // Padding after the item list, innermost first: a "free" or "skip" atom
    // in meta, udta or moov after the item list, or at the top level right
    // after moov (parent -1; otherwise the index of its parent in path).
    struct Room {
        Mp4Box box;
        int parent = -1;
        QByteArray name; // "free" or "skip", kept
    };
    QList<Room> room;
};

// The tag of a plain (not fragmented) MP4 file with one movie atom holding
// one item list with at most one cover list of image entries; nullopt for
// anything else, or any atom whose size does not fit its parent or the file.
std::optional<Mp4MovieTag> mp4MovieTag(qint64 fileLength, const ByteRangeReader& read);

// The bytes that replace [tag.moov.offset, tag.moov.offset + size) when the
// item list gets covers (whole "data" atoms) in place of the stored ones:
// every other item byte for byte, the sizes of the atoms around it
// corrected and one padding atom shrunk or grown so that the size stays
// the same. nullopt when no padding has the room.
std::optional<QByteArray> mp4MovieWithCovers(const Mp4MovieTag& tag,
                                             const QList<QByteArray>& covers);

// A cover list entry holding image, of the given type flag.
QByteArray mp4CoverEntry(quint32 format, const QByteArray& image);

} // namespace musiclibrary::tagio
