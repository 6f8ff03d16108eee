#include "musiclibrary/demo/SongTagWriter.h"

#include "musiclibrary/AudioFileIO.h"
#include "musiclibrary/ITunes.h"

#include <QFile>
#include <QFileInfo>

#include <taglib/aifffile.h>
#include <taglib/attachedpictureframe.h>
#include <taglib/id3v2tag.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>
#include <taglib/tpropertymap.h>
#include <taglib/vorbisfile.h>
#include <taglib/wavfile.h>

namespace musiclibrary {

using namespace Qt::StringLiterals;

namespace {

TagLib::String toTagLib(const QString& text) {
    return TagLib::String(text.toUtf8().toStdString(), TagLib::String::UTF8);
}

void setCommonTags(TagLib::Tag* tag, const SongTags& tags) {
    tag->setTitle(toTagLib(tags.title));
    tag->setArtist(toTagLib(tags.artist));
    tag->setAlbum(toTagLib(tags.album));
    tag->setTrack(unsigned(std::max(0, tags.trackNumber)));
}

// TagLib's property names map to TXXX frames, MP4 freeform items and
// Vorbis comments alike; only the file classes (not the tag's base class)
// know their own mapping, hence the file's type.
template <typename File> void setAlbumTags(File& file, const AlbumTags* album) {
    if (!album)
        return;
    TagLib::PropertyMap properties = file.properties();
    const auto set = [&properties](const char* name, const QString& value) {
        if (!value.isEmpty())
            properties.replace(name, TagLib::StringList(toTagLib(value)));
    };
    set("ALBUMARTIST", album->albumArtist);
    set("MUSICBRAINZ_ALBUMID", album->releaseId);
    set("MUSICBRAINZ_RELEASEGROUPID", album->releaseGroupId);
    file.setProperties(properties);
}

TagLib::String mimeTypeOf(const QByteArray& data) {
    switch (imageFormatOf(data)) {
    case ITArtworkFormatPNG:
        return "image/png";
    case ITArtworkFormatBMP:
        return "image/bmp";
    default:
        return "image/jpeg";
    }
}

void addId3Pictures(TagLib::ID3v2::Tag* tag, const QList<QByteArray>& pictures) {
    for (const QByteArray& data : pictures) {
        auto* frame = new TagLib::ID3v2::AttachedPictureFrame;
        frame->setMimeType(mimeTypeOf(data));
        frame->setType(TagLib::ID3v2::AttachedPictureFrame::FrontCover);
        frame->setPicture(TagLib::ByteVector(data.constData(), unsigned(data.size())));
        tag->addFrame(frame); // the tag owns the frame from here
    }
}

TagLib::MP4::CoverArt::Format coverFormatOf(const QByteArray& data) {
    switch (imageFormatOf(data)) {
    case ITArtworkFormatPNG:
        return TagLib::MP4::CoverArt::PNG;
    case ITArtworkFormatBMP:
        return TagLib::MP4::CoverArt::BMP;
    default:
        return TagLib::MP4::CoverArt::JPEG;
    }
}

bool writeFile(const QString& path, const SongTags& tags, const QList<QByteArray>& pictures,
               const AlbumTags* album) {
    const QByteArray name = QFile::encodeName(path);
    const QString extension = QFileInfo(path).suffix().toLower();
    if (extension == u"mp3") {
        TagLib::MPEG::File file(name.constData(), false);
        if (!file.isOpen() || file.readOnly())
            return false;
        setCommonTags(file.ID3v2Tag(true), tags);
        setAlbumTags(file, album);
        addId3Pictures(file.ID3v2Tag(true), pictures);
        return file.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripNone, TagLib::ID3v2::v3,
                         TagLib::File::DoNotDuplicate);
    }
    if (extension == u"aif" || extension == u"aiff") {
        TagLib::RIFF::AIFF::File file(name.constData(), false);
        if (!file.isOpen() || file.readOnly())
            return false;
        setCommonTags(file.tag(), tags);
        setAlbumTags(file, album);
        addId3Pictures(file.tag(), pictures);
        return file.save(TagLib::ID3v2::v3);
    }
    if (extension == u"wav") {
        TagLib::RIFF::WAV::File file(name.constData(), false);
        if (!file.isOpen() || file.readOnly())
            return false;
        setCommonTags(file.ID3v2Tag(), tags);
        setAlbumTags(file, album);
        addId3Pictures(file.ID3v2Tag(), pictures);
        return file.save(TagLib::RIFF::WAV::File::AllTags, TagLib::File::StripNone,
                         TagLib::ID3v2::v3);
    }
    if (extension == u"m4a" || extension == u"m4b" || extension == u"m4p") {
        TagLib::MP4::File file(name.constData(), false);
        if (!file.isOpen() || file.readOnly() || !file.tag())
            return false;
        setCommonTags(file.tag(), tags);
        setAlbumTags(file, album);
        if (!pictures.isEmpty()) {
            TagLib::MP4::CoverArtList covers = file.tag()->item("covr").toCoverArtList();
            for (const QByteArray& data : pictures)
                covers.append(TagLib::MP4::CoverArt(
                    coverFormatOf(data),
                    TagLib::ByteVector(data.constData(), unsigned(data.size()))));
            file.tag()->setItem("covr", TagLib::MP4::Item(covers));
        }
        return file.save();
    }
    if (extension == u"ogg") {
        TagLib::Ogg::Vorbis::File file(name.constData(), false);
        if (!file.isOpen() || file.readOnly() || !file.tag())
            return false;
        setCommonTags(file.tag(), tags);
        setAlbumTags(file, album);
        return file.save();
    }
    return false;
}

} // namespace

void writeSongTags(const QString& path, const SongTags& tags, const QList<QByteArray>& pictures,
                   const AlbumTags* album) {
    if (!writeFile(path, tags, pictures, album))
        throw LibraryError(LibraryError::WriteFailed,
                           u"Cannot write the tags of \"%1\"."_s.arg(path));
}

} // namespace musiclibrary
