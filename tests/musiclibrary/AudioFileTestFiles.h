#pragma once

// Song files for the song-file tests: seeds with the tags a case needs,
// raw ID3v2 tags built byte by byte, and checks on what a folder holds.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

#include <sys/types.h>

namespace testing_support {

// One ID3v2 frame with a header for the given major version (2, 3 or 4).
QByteArray id3v2Frame(int version, const QByteArray& id, const QByteArray& payload);
// A text frame (Latin-1 encoding byte in front of the text).
QByteArray id3v2TextFrame(int version, const QByteArray& id, const QByteArray& text);
// A complete tag: header, frames, padding.
QByteArray id3v2Tag(int version, const QByteArray& frames, int padding = 0,
                    unsigned char flags = 0);

// seed.mp3 without its ID3v2 tag: just the MPEG frames.
QByteArray mpegAudioOfSeed();

// The names in a folder that belong to temporary copies of a write.
QStringList leftoverCopies(const QString& folder);

// The bytes of a seed file, e.g. seedBytes("cover-75.jpg").
QByteArray seedBytes(const char* name);

// A file's inode: the same after a write in place, another after a write anew.
ino_t inodeOf(const QString& path);

// value, most significant byte first, in the given number of bytes (up to 8).
QByteArray bigEndianBytes(quint64 value, int bytes);
// An MP4 atom: its size (in 64 bits after the name when wide), name, payload.
QByteArray mp4Atom(const QByteArray& name, const QByteArray& payload, bool wide = false);
// A data atom of the given type holding value, as in an MP4 tag item.
QByteArray mp4DataAtom(quint32 type, const QByteArray& value);
// The names of the items in an MP4 file's tag, by the engine's own atom walk.
std::optional<QStringList> mp4ItemNamesIn(const QByteArray& file);

} // namespace testing_support
