#include "bench/BenchLibrary.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QTextStream>

#include <taglib/attachedpictureframe.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/tbytevectorstream.h>
#include <taglib/wavfile.h>

#include <algorithm>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace bench {

namespace {

constexpr int albumsPerArtist = 10;
// Written first and replaced by the complete marker at the end, so that a
// run stopped half-way is recognised as ours and made again.
const QString partialMarker = u".bench-library-partial"_s;
const QString completeMarker = u".bench-library"_s;

QString describe(const LibraryShape& shape) {
    QString text = u"tracks=%1 album=%2 embeddedEvery=%3 coverBytes=%4 folderImages=%5 three=%6 "
                   u"songBytes=%7 tagPadding=%8\n"_s.arg(shape.tracks)
                       .arg(shape.songsPerAlbum)
                       .arg(shape.embeddedEvery)
                       .arg(shape.coverBytes)
                       .arg(shape.folderImages ? 1 : 0)
                       .arg(shape.threeImagesPerFolder ? 1 : 0)
                       .arg(shape.songBytes)
                       .arg(shape.tagPadding);
    // Added later, and only when used: libraries made before stay valid.
    if (shape.wavEvery > 0)
        text += u"wavEvery=%1\n"_s.arg(shape.wavEvery);
    return text;
}

TagLib::String toTagString(const QString& text) {
    return TagLib::String(text.toStdWString());
}

QString albumFolder(const QString& root, int album) {
    return root + u"/Artist %1/Album %2"_s.arg(album / albumsPerArtist, 3, 10, QChar(u'0'))
                      .arg(album, 4, 10, QChar(u'0'));
}

// The pictures of an album folder, by its number: about a quarter of the
// folders each hold a Folder.jpg, Folder.jpg with AlbumArtSmall.jpg, another
// picture (with player-made files in half of those), or nothing.
bool writeFolderImages(const QString& folder, int album) {
    const QString guid = u"{%1-1D2C-4B3A-9F8E-%2}"_s.arg(album, 8, 16, QChar(u'0'))
                             .arg(album * 7919, 12, 16, QChar(u'0'))
                             .toUpper();
    switch (album % 4) {
    case 0:
        return writeFile(folder + u"/Folder.jpg"_s, seedFile(u"cover-300.jpg"_s));
    case 1:
        return writeFile(folder + u"/Folder.jpg"_s, seedFile(u"cover-300.jpg"_s)) &&
               writeFile(folder + u"/AlbumArtSmall.jpg"_s, seedFile(u"cover-75.jpg"_s));
    case 2:
        if (album % 8 == 2 && !(writeFile(folder + u"/AlbumArt_"_s + guid + u"_Large.jpg"_s,
                                          seedFile(u"cover-200.jpg"_s)) &&
                                writeFile(folder + u"/AlbumArt_"_s + guid + u"_Small.jpg"_s,
                                          seedFile(u"cover-75.jpg"_s))))
            return false;
        return writeFile(folder + u"/back.png"_s, seedFile(u"cover-160x120.png"_s));
    default:
        return true;
    }
}

// A real cover's size: a folder image as users keep them (tens of KB).
bool writeThreeFolderImages(const QString& folder) {
    return writeFile(folder + u"/Folder.jpg"_s, paddedJpeg(60 * 1024)) &&
           writeFile(folder + u"/back.jpg"_s, paddedJpeg(30 * 1024)) &&
           writeFile(folder + u"/scan.png"_s, seedFile(u"cover-160x120.png"_s));
}

bool removeOurFolder(const QString& folder) {
    QDir dir(folder);
    if (!dir.exists())
        return true;
    if (!dir.exists(partialMarker) && !dir.exists(completeMarker) &&
        !dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty()) {
        QTextStream(stderr) << "Refusing to replace " << folder
                            << ": it exists and was not made by this benchmark.\n";
        return false;
    }
    return dir.removeRecursively();
}

} // namespace

QByteArray seedFile(const QString& name) {
    // Read once: a library of 20,000 tracks is made from the same few files.
    static QHash<QString, QByteArray> seeds;
    if (const auto found = seeds.constFind(name); found != seeds.cend())
        return *found;
    QFile file(QStringLiteral(QUILLMOTH_SEEDS_DIR) + u'/' + name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return seeds[name] = file.readAll();
}

QByteArray paddedJpeg(qsizetype size) {
    const QByteArray cover = seedFile(u"cover-300.jpg"_s);
    // Marker, two length bytes, then the comment; one segment holds at most
    // 65533 comment bytes.
    const qsizetype comment = size - cover.size() - 4;
    if (cover.size() < 4 || comment < 0 || comment > 65533)
        return {};
    QByteArray jpeg = cover.left(2);
    jpeg += char(0xFF);
    jpeg += char(0xFE);
    jpeg += char((comment + 2) >> 8);
    jpeg += char((comment + 2) & 0xFF);
    jpeg += QByteArray(comment, 'q');
    jpeg += cover.mid(2);
    return jpeg;
}

QByteArray taggedMp3(const QString& title, const QString& artist, const QString& album,
                     int trackNumber, const QByteArray& picture) {
    const QByteArray seed = seedFile(u"seed.mp3"_s);
    TagLib::ByteVectorStream stream(TagLib::ByteVector(seed.constData(), uint(seed.size())));
    TagLib::MPEG::File file(&stream, TagLib::ID3v2::FrameFactory::instance(), false);
    TagLib::ID3v2::Tag* tag = file.ID3v2Tag(true);
    tag->setTitle(toTagString(title));
    tag->setArtist(toTagString(artist));
    tag->setAlbum(toTagString(album));
    tag->setTrack(uint(trackNumber));
    if (!picture.isEmpty()) {
        auto frame = new TagLib::ID3v2::AttachedPictureFrame;
        frame->setMimeType("image/jpeg");
        frame->setType(TagLib::ID3v2::AttachedPictureFrame::FrontCover);
        frame->setPicture(TagLib::ByteVector(picture.constData(), uint(picture.size())));
        tag->addFrame(frame);
    }
    if (!file.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripNone, TagLib::ID3v2::v3,
                   TagLib::File::DoNotDuplicate))
        return {};
    const TagLib::ByteVector* data = stream.data();
    return QByteArray(data->data(), qsizetype(data->size()));
}

namespace {

qsizetype tagSizeOf(const QByteArray& mp3) {
    if (!mp3.startsWith("ID3") || mp3.size() < 10)
        return 0;
    return 10 + (qsizetype(mp3[6] & 0x7F) << 21 | qsizetype(mp3[7] & 0x7F) << 14 |
                 qsizetype(mp3[8] & 0x7F) << 7 | qsizetype(mp3[9] & 0x7F));
}

} // namespace

QByteArray withTagPadding(const QByteArray& mp3, qsizetype padding) {
    const qsizetype tagSize = tagSizeOf(mp3);
    if (tagSize == 0)
        return mp3;
    QByteArray padded = mp3.left(tagSize) + QByteArray(padding, '\0') + mp3.mid(tagSize);
    quint32 body = quint32(tagSize + padding - 10);
    for (int i = 9; i >= 6; --i) {
        padded[i] = char(body & 0x7F);
        body >>= 7;
    }
    return padded;
}

QByteArray taggedWav(const QString& title, const QString& artist, const QString& album,
                     int trackNumber) {
    const QByteArray seed = seedFile(u"seed.wav"_s);
    TagLib::ByteVectorStream stream(TagLib::ByteVector(seed.constData(), uint(seed.size())));
    TagLib::RIFF::WAV::File file(&stream, false);
    TagLib::ID3v2::Tag* tag = file.ID3v2Tag();
    if (!file.isValid() || !tag)
        return {};
    tag->setTitle(toTagString(title));
    tag->setArtist(toTagString(artist));
    tag->setAlbum(toTagString(album));
    tag->setTrack(uint(trackNumber));
    if (!file.save(TagLib::RIFF::WAV::File::ID3v2, TagLib::File::StripNone, TagLib::ID3v2::v3))
        return {};
    const TagLib::ByteVector* data = stream.data();
    return QByteArray(data->data(), qsizetype(data->size()));
}

QByteArray withAudioUpTo(const QByteArray& mp3, qsizetype bytes) {
    // The seed's audio: everything after its ID3v2 tag (size synchsafe).
    const QByteArray seed = seedFile(u"seed.mp3"_s);
    qsizetype tagSize = 0;
    if (seed.startsWith("ID3") && seed.size() > 10)
        tagSize = 10 + (qsizetype(seed[6] & 0x7F) << 21 | qsizetype(seed[7] & 0x7F) << 14 |
                        qsizetype(seed[8] & 0x7F) << 7 | qsizetype(seed[9] & 0x7F));
    const QByteArray audio = seed.mid(tagSize);
    if (mp3.isEmpty() || audio.isEmpty() || mp3.size() >= bytes)
        return mp3;
    QByteArray padded = mp3;
    padded.reserve(bytes + audio.size());
    while (padded.size() < bytes)
        padded += audio;
    return padded;
}

bool writeFile(const QString& path, const QByteArray& data) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(data) == data.size() && file.flush();
}

bool ensureLibrary(const QString& folder, const LibraryShape& shape) {
    QFile marker(folder + u'/' + completeMarker);
    if (marker.open(QIODevice::ReadOnly) && marker.readAll() == describe(shape).toUtf8())
        return true;
    marker.close();
    if (!removeOurFolder(folder) || !QDir().mkpath(folder) ||
        !writeFile(folder + u'/' + partialMarker, {}))
        return false;

    QTextStream(stderr) << "Making a library of " << shape.tracks << " tracks in " << folder
                        << " (once) ...\n";
    const QByteArray cover = paddedJpeg(shape.coverBytes);
    if (cover.isEmpty()) {
        QTextStream(stderr) << "The seed files are missing.\n";
        return false;
    }
    for (int i = 0; i < shape.tracks; ++i) {
        const int album = i / shape.songsPerAlbum;
        const QString albumPath = albumFolder(folder, album);
        if (i % shape.songsPerAlbum == 0 &&
            (!QDir().mkpath(albumPath) ||
             (shape.threeImagesPerFolder
                  ? !writeThreeFolderImages(albumPath)
                  : shape.folderImages && !writeFolderImages(albumPath, album))))
            return false;
        const int number = i % shape.songsPerAlbum + 1;
        const QString title = u"Song %1"_s.arg(i, 5, 10, QChar(u'0'));
        const QString artist = u"Artist %1"_s.arg(album / albumsPerArtist);
        if (shape.wavEvery > 0 && i % shape.wavEvery == shape.wavEvery - 1) {
            const QByteArray wav = taggedWav(title, artist, u"Album %1"_s.arg(album), number);
            const QString name = u"/%1 %2.wav"_s.arg(number, 2, 10, QChar(u'0')).arg(title);
            if (wav.isEmpty() || !writeFile(albumPath + name, wav))
                return false;
            continue;
        }
        QByteArray mp3 =
            withAudioUpTo(taggedMp3(title, artist, u"Album %1"_s.arg(album), number,
                                    i % shape.embeddedEvery == 0 ? cover : QByteArray()),
                          shape.songBytes);
        if (shape.tagPadding > 0)
            mp3 = withTagPadding(mp3, shape.tagPadding);
        const QString name = u"/%1 %2.mp3"_s.arg(number, 2, 10, QChar(u'0')).arg(title);
        if (mp3.isEmpty() || !writeFile(albumPath + name, mp3))
            return false;
    }
    QFile::remove(folder + u'/' + partialMarker);
    return writeFile(folder + u'/' + completeMarker, describe(shape).toUtf8());
}

bool makeScratchFiles(const QString& folder, int count) {
    if (!removeOurFolder(folder) || !QDir().mkpath(folder) ||
        !writeFile(folder + u'/' + partialMarker, {}))
        return false;
    for (int i = 0; i < count; ++i) {
        const QString title = u"Scratch %1"_s.arg(i, 5, 10, QChar(u'0'));
        const QByteArray mp3 =
            taggedMp3(title, u"Scratch Artist"_s, u"Scratch Album"_s, i % 12 + 1, {});
        if (mp3.isEmpty() || !writeFile(folder + u'/' + title + u".mp3"_s, mp3))
            return false;
    }
    return true;
}

QStringList mp3FilesBelow(const QString& folder) {
    QStringList files;
    QDirIterator it(folder, {u"*.mp3"_s}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(it.next());
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace bench
