#pragma once

// Writing the tags of a freshly made song file: used to build the
// demonstration library (and by tests that need songs with given tags). The
// file is written in place, which is only right for files that nobody else
// holds yet; a user's songs are changed through the all-or-nothing path of
// AudioFileIO instead.

#include <QByteArray>
#include <QList>
#include <QString>

namespace musiclibrary {

struct SongTags {
    QString title; // empty removes the title
    QString artist;
    QString album;
    int trackNumber = 0;
};

struct AlbumTags;

// Sets the tags of the MP3, M4A, AIFF, WAV or Ogg Vorbis file at path and
// appends pictures (kinds that cannot hold pictures ignore them). The album
// facts, when given, are written where not empty, in each container's own
// form (ID3v2 TXXX, MP4 freeform items, Vorbis comments). Throws
// LibraryError naming the file when it cannot be written.
void writeSongTags(const QString& path, const SongTags& tags,
                   const QList<QByteArray>& pictures = {}, const AlbumTags* album = nullptr);

} // namespace musiclibrary
