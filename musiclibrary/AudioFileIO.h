#pragma once

// Song files at the TagLib boundary: tags and pictures read in one pass, and
// all-or-nothing picture writes. Nothing of TagLib leaks out of this header.

#include <QByteArray>
#include <QList>
#include <QString>

#include <utility>

namespace musiclibrary {

// What the index remembers of one embedded picture.
struct PictureFacts {
    int format = 0; // ArtworkFormatCode: 1 JPEG, 2 PNG, 3 BMP, other values unrecognised
    qint64 byteSize = 0;
};

struct Picture {
    QByteArray data;
    int format = 0; // decided from the first bytes, never from the stored MIME type
    QString mimeType;
    int type = -1; // front cover 3, back cover 4, ...; -1 where the container has none (MP4)
    QString description;
    // Everything the container keeps of the picture besides its bytes, in the
    // container's own form (an ID3v2 picture frame's fields, a FLAC picture
    // block's): given back with the bytes, it puts the picture back exactly.
    QByteArray record;
};

struct AudioFileFacts {
    // False when the file's tags could not be parsed; the track then takes its
    // name from the file name and its picture calls throw.
    bool tagsReadable = false;
    // False for kinds whose pictures the engine does not handle.
    bool picturesSupported = false;
    QString title;
    QString artist;
    QString album;
    int trackNumber = 0;
    QString kind; // "MPEG audio file", "AAC audio file", ...
    QList<PictureFacts> pictures;
};

// Reads tags and picture facts of one file. Never throws; opens read-only.
AudioFileFacts readAudioFileFacts(const QString& path);

// The album artist and MusicBrainz release ids of the file's tags: ID3v2
// TXXX "MusicBrainz Album Id", MP4 "----:com.apple.iTunes:MusicBrainz Album
// Id", Vorbis comment MUSICBRAINZ_ALBUMID and their release-group
// counterparts. Never throws; opens read-only.
struct AlbumTags;
AlbumTags readAlbumTags(const QString& path);

// The kind wording of a file by its name alone ("MPEG audio file" for .mp3 ...).
QString kindForFileName(const QString& path);

// The format code of image bytes, from their signature.
int imageFormatOf(const QByteArray& data);

// The embedded pictures in file order. Throws LibraryError when the file cannot
// be read or its tags cannot be parsed.
QList<Picture> readPictures(const QString& path);

// A new picture and where it goes: its 0-based position in the list of
// pictures as it stands when it is put in, -1 for after the last.
struct PictureInsertion {
    PictureInsertion() = default;
    PictureInsertion(int at, QByteArray image, QByteArray kept = {})
        : position(at), imageData(std::move(image)), record(std::move(kept)) {}

    int position = -1;
    QByteArray imageData;
    // A record read with the picture (Picture::record): the picture goes back
    // as it was. Empty, or the record of another container: a front cover.
    QByteArray record;
};

// Everything one write does to a file's pictures: first the pictures at
// remove (0-based positions as the file holds them before the change) go,
// then each insertion, in order, puts its picture in place. A song's whole
// change is one write, so that it either happens completely or not at all.
struct PictureChange {
    QList<int> remove;
    QList<PictureInsertion> insert;

    bool isEmpty() const { return remove.isEmpty() && insert.isEmpty(); }
};

// Applies change. All-or-nothing: the file is either completely updated or
// byte for byte unchanged; throws LibraryError (InvalidArgument for a
// position the file does not have, or an empty or oversized image).
// Returns the facts of the file as written, read while checking it.
AudioFileFacts changePictures(const QString& path, const PictureChange& change);

// Appends one picture after the existing ones.
AudioFileFacts appendPicture(const QString& path, const QByteArray& imageData);

// Removes the picture at index (0-based).
AudioFileFacts removePicture(const QString& path, int index);

} // namespace musiclibrary
