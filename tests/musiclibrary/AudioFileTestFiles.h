#pragma once

// Song files for the song-file tests: seeds with the tags a case needs,
// raw ID3v2 tags built byte by byte, and checks on what a folder holds.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <sys/types.h>

namespace testing_support {

// One ID3v2 frame with a header for the given major version (2, 3 or 4).
QByteArray id3v2Frame(int version, const QByteArray& id, const QByteArray& payload);
// A text frame (Latin-1 encoding byte in front of the text).
QByteArray id3v2TextFrame(int version, const QByteArray& id, const QByteArray& text);
// A complete tag: header, frames, padding.
QByteArray id3v2Tag(int version, const QByteArray& frames, int padding = 0,
                    unsigned char flags = 0);

// What follows a file's ID3v2 tag: the audio, which no write may touch.
QByteArray afterId3v2Tag(const QByteArray& file);
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

// The images of the pictures in a song file, in order.
QList<QByteArray> pictureBytes(const QString& path);

} // namespace testing_support
