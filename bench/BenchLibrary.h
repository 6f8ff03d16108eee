#pragma once

// The large libraries the benchmarks run on, made once from the seed files and
// kept in a cache folder so that later runs start at once.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace bench {

struct LibraryShape {
    int tracks = 20000;
    int songsPerAlbum = 12;
    // One embedded cover in every n-th track.
    int embeddedEvery = 3;
    qsizetype coverBytes = 40 * 1024;
    // Folder.jpg, AlbumArtSmall.jpg and other pictures in some album folders.
    bool folderImages = true;
    // Instead: every album folder holds a Folder.jpg and two other pictures.
    bool threeImagesPerFolder = false;
    // Songs padded with more audio to about this size; 0 leaves the seed's.
    qsizetype songBytes = 0;
    // Room left in each song's tag (zero bytes after its frames), as some
    // tag editors leave it; 0 keeps TagLib's own.
    qsizetype tagPadding = 0;
    // Every n-th track a tagged WAV file instead, a kind that cannot hold
    // pictures: the songs of the Ineligible list. 0: none.
    int wavEvery = 0;
};

// The seed files the libraries are made from.
QByteArray seedFile(const QString& name);

// A valid JPEG of exactly size bytes: a seed cover padded with a comment
// segment right after its start marker.
QByteArray paddedJpeg(qsizetype size);

// The seed MP3 with its own title, artist, album and track number, and the
// picture as an ID3v2.3 APIC frame when it is not empty.
QByteArray taggedMp3(const QString& title, const QString& artist, const QString& album,
                     int trackNumber, const QByteArray& picture);

// mp3 with padding bytes of room in its ID3v2 tag.
QByteArray withTagPadding(const QByteArray& mp3, qsizetype padding);
// The seed WAV with the same tags in an ID3v2 chunk.
QByteArray taggedWav(const QString& title, const QString& artist, const QString& album,
                     int trackNumber);

// mp3 with its audio frames repeated until the file is about bytes long.
QByteArray withAudioUpTo(const QByteArray& mp3, qsizetype bytes);

// Makes the library at folder unless a complete one of this shape is
// already there. Returns false (having said why on stderr) when it cannot.
bool ensureLibrary(const QString& folder, const LibraryShape& shape);

// Makes count untouched MP3s without pictures in folder, replacing whatever
// was there: the files that a writing benchmark is allowed to change.
bool makeScratchFiles(const QString& folder, int count);

// Every file below folder whose name ends in .mp3, in path order.
QStringList mp3FilesBelow(const QString& folder);

// Writes data to path, replacing the file. False on failure.
bool writeFile(const QString& path, const QByteArray& data);

} // namespace bench
