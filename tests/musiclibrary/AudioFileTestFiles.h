#pragma once

// Song files for the song-file tests: seeds with the tags a case needs,
// raw ID3v2 tags built byte by byte, and checks on what a folder holds.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

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

} // namespace testing_support
