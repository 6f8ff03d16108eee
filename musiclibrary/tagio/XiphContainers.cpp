// FLAC (picture metadata blocks) and Ogg Vorbis and Opus (the
// METADATA_BLOCK_PICTURE field of the Vorbis comment). TagLib changes the
// private copy; our own walks of the stream check beforehand what TagLib
// would read wrongly and afterwards that only the pictures changed: every
// other block and comment, and the audio byte for byte (for Ogg, every audio
// page but its sequence number and checksum, which a longer comment header
// may shift).

#include "musiclibrary/tagio/ByteOrder.h"
#include "musiclibrary/tagio/FileKinds.h"
#include "musiclibrary/tagio/ImageHeader.h"
#include "musiclibrary/tagio/PictureContainer.h"
#include "musiclibrary/tagio/TagLibBridge.h"
#include "musiclibrary/tagio/XiphStreams.h"

#include <QCryptographicHash>
#include <QFile>
#include <QStringList>

#include <taglib/flacfile.h>
#include <taglib/flacpicture.h>
#include <taglib/id3v2framefactory.h>
#include <taglib/opusfile.h>
#include <taglib/vorbisfile.h>
#include <taglib/xiphcomment.h>

#include <algorithm>
#include <memory>
#include <optional>

using namespace Qt::StringLiterals;

namespace musiclibrary::tagio {

namespace {

using PictureList = TagLib::List<TagLib::FLAC::Picture*>;

constexpr qint64 HeadBytes = 64;
constexpr qint64 CompareChunk = 1 << 20;

// A picture block's fields besides the image (everything before the image's
// length), as Picture::record keeps them, behind a marker.
const QByteArray RecordMarker("FLACPIC1");

// A picture block's fields before its image's length: type, MIME type,
// description, width, height, depth and colours.
QByteArray pictureFields(quint32 type, const QByteArray& mime, const QByteArray& description,
                         const ImageHeader& size) {
    QByteArray fields;
    appendBigEndian(fields, type, 4);
    appendBigEndian(fields, quint32(mime.size()), 4);
    fields.append(mime);
    appendBigEndian(fields, quint32(description.size()), 4);
    fields.append(description);
    for (quint32 value : {size.width, size.height, size.depth, size.colours})
        appendBigEndian(fields, value, 4);
    return fields;
}

QByteArray pictureBody(const QByteArray& fields, const QByteArray& image) {
    QByteArray body = fields;
    appendBigEndian(body, quint32(image.size()), 4);
    body.append(image);
    return body;
}

// A new picture's block body, as players expect one: a front cover whose
// description no other picture of the tag has, with the size fields of its
// header.
QByteArray newPictureBody(const QByteArray& image, QStringList& descriptions) {
    return pictureBody(pictureFields(TagLib::FLAC::Picture::FrontCover,
                                     mimeTypeOf(image).toLatin1(),
                                     newDescription(descriptions).toUtf8(), readImageHeader(image)),
                       image);
}

// The block body that record and image make, empty when record is none of
// ours or does not make a whole block.
QByteArray bodyFromRecord(const QByteArray& record, const QByteArray& image) {
    if (!record.startsWith(RecordMarker))
        return {};
    const QByteArray fields = record.mid(RecordMarker.size());
    // The fields' own lengths must end exactly where the image's length goes.
    qsizetype at = 4;
    for (int field = 0; field < 2; ++field) {
        if (at + 4 > fields.size())
            return {};
        at += 4 + qsizetype(bigEndian(fields, at, 4));
    }
    if (at + 16 != fields.size())
        return {};
    const QByteArray body = pictureBody(fields, image);
    return pictureBlockProblem(body).isEmpty() ? body : QByteArray();
}

QList<Picture> picturesOf(const PictureList& list) {
    QList<Picture> pictures;
    for (const TagLib::FLAC::Picture* stored : list) {
        Picture picture;
        picture.data = toBytes(stored->data());
        picture.format = imageFormatOf(picture.data);
        picture.mimeType = toQString(stored->mimeType());
        picture.type = int(stored->type());
        picture.description = toQString(stored->description());
        picture.record =
            RecordMarker +
            pictureFields(quint32(stored->type()), toQString(stored->mimeType()).toLatin1(),
                          toQString(stored->description()).toUtf8(),
                          {quint32(stored->width()), quint32(stored->height()),
                           quint32(stored->colorDepth()), quint32(stored->numColors())});
        pictures.append(picture);
    }
    return pictures;
}

QList<QByteArray> bytesOf(const PictureList& list) {
    QList<QByteArray> bytes;
    for (const TagLib::FLAC::Picture* stored : list)
        bytes.append(toBytes(stored->data()));
    return bytes;
}

// The comments besides the pictures, as they read: what a save must keep.
QStringList commentsOf(const TagLib::Ogg::XiphComment* comment) {
    QStringList fields;
    if (!comment)
        return fields;
    for (const auto& [key, values] : comment->fieldListMap())
        for (const TagLib::String& value : values)
            fields.append(toQString(key) + u'=' + toQString(value));
    return fields;
}

void readTags(const TagLib::Ogg::XiphComment* comment, AudioFileFacts& facts) {
    if (!comment)
        return;
    facts.title = toQString(comment->title());
    facts.artist = toQString(comment->artist());
    facts.album = toQString(comment->album());
    facts.trackNumber = static_cast<int>(comment->track() & 0x7FFFFFFF);
}

void readPictureFacts(const PictureList& list, AudioFileFacts& facts) {
    for (const TagLib::FLAC::Picture* picture : list)
        facts.pictures.append(pictureFactsOf(picture->data()));
}

void removeAll(TagLib::FLAC::File& file) {
    file.removePictures();
}

void removeAll(TagLib::Ogg::XiphComment& comment) {
    comment.removeAllPictures();
}

// Puts the pictures in the order the edit asks for. The tag owns its
// pictures, and the Vorbis comment deletes one even when asked to only take
// it out: the kept ones are copied whole (type, description, every field)
// before all are removed, and the copies put back.
template <typename Owner> void applyOrder(Owner& owner, const PictureEdit& edit) {
    QList<TagLib::FLAC::Picture*> old;
    {
        // A copy of the tag's list that outlives this block would make the
        // tag's own list detach on clearing and forget to delete its pictures.
        const PictureList current = owner.pictureList();
        old = QList<TagLib::FLAC::Picture*>(current.begin(), current.end());
    }
    const QList<int> order = orderAfter(old.size(), edit);
    QStringList descriptions;
    for (int entry : order)
        if (entry >= 0)
            descriptions.append(toQString(old[entry]->description()));
    QList<TagLib::FLAC::Picture*> pictures;
    for (int entry : order) {
        if (entry >= 0) {
            pictures.append(new TagLib::FLAC::Picture(old[entry]->render()));
            continue;
        }
        const PictureInsertion& insertion = edit.insert[-1 - entry];
        QByteArray body = bodyFromRecord(insertion.record, insertion.imageData);
        if (body.isEmpty())
            body = newPictureBody(insertion.imageData, descriptions);
        pictures.append(new TagLib::FLAC::Picture(toByteVector(body)));
    }
    removeAll(owner);
    for (TagLib::FLAC::Picture* picture : pictures)
        owner.addPicture(picture);
}

RangeReader readerOf(QFile& file) {
    return [&file](qint64 offset, qint64 length) {
        if (offset < 0 || length <= 0 || !file.seek(offset))
            return QByteArray();
        return file.read(length);
    };
}

// Whether the two files hold the same bytes from the given offsets to their ends.
bool sameTail(const QString& a, qint64 fromA, const QString& b, qint64 fromB) {
    QFile first(a);
    QFile second(b);
    if (!first.open(QIODevice::ReadOnly) || !second.open(QIODevice::ReadOnly))
        return false;
    if (first.size() - fromA != second.size() - fromB || !first.seek(fromA) || !second.seek(fromB))
        return false;
    while (!first.atEnd()) {
        const QByteArray chunk = first.read(CompareChunk);
        if (chunk.isEmpty() || second.read(chunk.size()) != chunk)
            return false;
    }
    return second.atEnd();
}

// ---------------------------------------------------------------- FLAC

struct FlacSnapshot {
    FlacLayout layout;
    QByteArray tagBytes;          // an ID3v2 tag before the stream
    QList<QByteArray> keptBlocks; // every block but pictures, padding and the comment, in order
};

FlacSnapshot flacSnapshot(const QString& path, bool forWriting) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw FileFailure{LibraryError::Unreadable, u"the file cannot be opened."_s};
    const RangeReader read = readerOf(file);
    FlacSnapshot snapshot;
    QString error;
    snapshot.layout = walkFlac(file.size(), read, error);
    if (!error.isEmpty())
        throw forWriting
            ? FileFailure{LibraryError::Unreadable, u"its FLAC metadata is damaged: "_s + error}
            : savedCopyWrong(u"its FLAC metadata cannot be read back"_s);
    snapshot.tagBytes = read(0, snapshot.layout.tagBytes);
    for (const FlacBlock& block : snapshot.layout.blocks) {
        if (block.type != FlacPicture && block.type != FlacPadding &&
            block.type != FlacVorbisComment)
            snapshot.keptBlocks.append(read(block.offset + 4, block.length));
    }
    return snapshot;
}

// Where the last block's header starts in a metadata area of whole blocks.
qsizetype lastBlockHeader(const QByteArray& head) {
    qsizetype at = 4;
    qsizetype last = at;
    while (at + 4 <= head.size()) {
        last = at;
        at += 4 + qsizetype(bigEndian(head, at + 1, 3));
    }
    return last;
}

QByteArray blockHeader(int type, qint64 length) {
    QByteArray header;
    header.append(char(type));
    appendBigEndian(header, quint32(length), 3);
    return header;
}

// The description and the image stored in a picture block's body (checked
// whole by the walk).
QString descriptionOf(const QByteArray& body) {
    const qsizetype at = 8 + qsizetype(bigEndian(body, 4, 4));
    return QString::fromUtf8(body.mid(at + 4, qsizetype(bigEndian(body, at, 4))));
}

QByteArray imageOf(const QByteArray& body) {
    qsizetype at = 8 + qsizetype(bigEndian(body, 4, 4));
    at += 4 + qsizetype(bigEndian(body, at, 4)) + 16;
    return body.mid(at + 4, qsizetype(bigEndian(body, at, 4)));
}

class FlacContainer : public PictureContainer {
public:
    bool claimsSuffix(const QString& suffix) const override { return suffix == u"flac"; }

    bool acceptsContent(const QString&, FileHead& head, bool byName) const override {
        const QByteArray& bytes = head.bytes();
        return bytes.startsWith("fLaC") || (byName && bytes.startsWith("ID3"));
    }

    AudioFileFacts readFacts(const QString&, TagLib::IOStream* stream) const override {
        AudioFileFacts facts;
        facts.picturesSupported = true;
        facts.kind = QString::fromUtf16(KindFlac);
        if (!stream)
            return facts;
        TagLib::FLAC::File file(stream, TagLib::ID3v2::FrameFactory::instance(), false);
        if (!file.isValid())
            return facts;
        facts.tagsReadable = true;
        readTags(file.xiphComment(false), facts);
        readPictureFacts(file.pictureList(), facts);
        return facts;
    }

    QList<Picture> readPictures(const QString& path) const override {
        auto stream = openStream(path, true);
        if (!stream)
            throw FileFailure{LibraryError::Unreadable, u"the file cannot be opened."_s};
        TagLib::FLAC::File file(stream.get(), TagLib::ID3v2::FrameFactory::instance(), false);
        if (!file.isValid())
            throw FileFailure{LibraryError::Unreadable, u"its tags cannot be read."_s};
        return picturesOf(file.pictureList());
    }

    // A FLAC file keeps all its metadata at its start: the change is a new
    // metadata area, the same blocks with the pictures in their new order,
    // padded to the old area's size when it fits there.
    std::optional<HeadRewrite> planHeadRewrite(const QString& path,
                                               const PictureEdit& edit) const override {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            throw FileFailure{LibraryError::Unreadable, u"the file cannot be opened."_s};
        const RangeReader read = readerOf(file);
        QString error;
        const FlacLayout layout = walkFlac(file.size(), read, error);
        if (!error.isEmpty())
            throw FileFailure{LibraryError::Unreadable,
                              u"its FLAC metadata is damaged: "_s + error};
        if (layout.tagBytes > 0)
            return std::nullopt; // an ID3v2 tag in front: TagLib rewrites the file

        QByteArray head("fLaC");
        QList<QByteArray> kept;
        QList<QByteArray> pictures;
        for (const FlacBlock& block : layout.blocks) {
            const QByteArray body = read(block.offset + 4, block.length);
            if (block.type == FlacPicture)
                pictures.append(body);
            else if (block.type != FlacPadding) {
                kept.append(body);
                head += blockHeader(block.type, block.length) + body;
            }
        }
        if (const QString problem = editProblem(edit, pictures.size()); !problem.isEmpty())
            throw FileFailure{LibraryError::InvalidArgument, problem};
        const QList<int> order = orderAfter(pictures.size(), edit);
        QStringList descriptions;
        for (int entry : order)
            if (entry >= 0)
                descriptions.append(descriptionOf(pictures[entry]));
        qint64 largest = 0;
        for (int entry : order) {
            QByteArray body;
            if (entry >= 0) {
                body = pictures[entry];
            } else {
                const PictureInsertion& insertion = edit.insert[-1 - entry];
                body = bodyFromRecord(insertion.record, insertion.imageData);
                if (body.isEmpty())
                    body = newPictureBody(insertion.imageData, descriptions);
            }
            if (body.size() > MaxFlacBlockBytes)
                throw FileFailure{LibraryError::InvalidArgument,
                                  u"the image is too large for a FLAC file, whose metadata "
                                  u"blocks hold at most 16 MB."_s};
            head += blockHeader(FlacPicture, body.size()) + body;
            largest = std::max<qint64>(largest, body.size());
        }
        // The bytes of every picture after the change, for the check.
        QList<QByteArray> before;
        for (const QByteArray& body : pictures)
            before.append(imageOf(body));
        const QList<QByteArray> after = picturesAfter(before, edit);
        const qint64 audioBytes = layout.fileSize - layout.audioStart;
        const QByteArray audioHead = read(layout.audioStart, 4096);

        HeadRewrite plan;
        plan.oldHeadSize = layout.audioStart;
        plan.tag = head;
        plan.roomForNextChange = std::clamp<qint64>(largest, 16 * 1024, 512 * 1024);
        plan.pad = [](const QByteArray& tag, qint64 size) -> QByteArray {
            QByteArray padded = tag;
            const qint64 room = size - tag.size();
            if (room == 0) {
                padded[lastBlockHeader(padded)] = char(padded[lastBlockHeader(padded)] | 0x80);
                return padded;
            }
            if (room < 4 || room - 4 > MaxFlacBlockBytes)
                return {};
            padded += blockHeader(0x80 | FlacPadding, room - 4);
            padded.append(QByteArray(room - 4, '\0'));
            return padded;
        };
        plan.verify = [this, path, kept, after, audioBytes,
                       audioHead](const QString& written) -> AudioFileFacts {
            QFile file(written);
            if (!file.open(QIODevice::ReadOnly))
                throw savedCopyWrong(u"it cannot be read back"_s);
            const RangeReader read = readerOf(file);
            QString error;
            const FlacLayout layout = walkFlac(file.size(), read, error);
            if (!error.isEmpty() || layout.tagBytes != 0)
                throw savedCopyWrong(u"its FLAC metadata cannot be read back"_s);
            QList<QByteArray> blocks;
            for (const FlacBlock& block : layout.blocks)
                if (block.type != FlacPicture && block.type != FlacPadding)
                    blocks.append(read(block.offset + 4, block.length));
            if (blocks != kept)
                throw savedCopyWrong(u"metadata blocks besides the pictures changed"_s);
            if (layout.fileSize - layout.audioStart != audioBytes ||
                read(layout.audioStart, audioHead.size()) != audioHead)
                throw savedCopyWrong(u"its audio moved or was cut short"_s);
            auto stream = openStream(written, true);
            if (!stream)
                throw savedCopyWrong(u"it cannot be read back"_s);
            {
                TagLib::FLAC::File tagFile(stream.get(), TagLib::ID3v2::FrameFactory::instance(),
                                           false);
                if (!tagFile.isValid() || bytesOf(tagFile.pictureList()) != after)
                    throw savedCopyWrong(u"its pictures differ from the intended ones"_s);
            }
            return readFacts(path, stream.get());
        };
        return plan;
    }

    Verifier applyEdit(const QString& path, const QString& copyPath,
                       const PictureEdit& edit) const override {
        const FlacSnapshot before = flacSnapshot(copyPath, true);
        auto stream = openStream(copyPath, false);
        if (!stream)
            throw FileFailure{LibraryError::WriteFailed,
                              u"its temporary copy cannot be opened for writing."_s};
        TagLib::FLAC::File file(stream.get(), TagLib::ID3v2::FrameFactory::instance(), false);
        if (!file.isValid())
            throw FileFailure{LibraryError::Unreadable, u"its tags cannot be read."_s};
        const QList<QByteArray> old = bytesOf(file.pictureList());
        if (const QString problem = editProblem(edit, old.size()); !problem.isEmpty())
            throw FileFailure{LibraryError::InvalidArgument, problem};
        for (const PictureInsertion& insertion : edit.insert) {
            if (FlacPictureFieldBytes + 64 + insertion.imageData.size() > MaxFlacBlockBytes)
                throw FileFailure{LibraryError::InvalidArgument,
                                  u"the image is too large for a FLAC file, whose metadata "
                                  u"blocks hold at most 16 MB."_s};
        }
        const QStringList comments = commentsOf(file.xiphComment(false));
        applyOrder(file, edit);
        if (!file.save())
            throw FileFailure{LibraryError::WriteFailed, u"its tags could not be saved."_s};

        const QList<QByteArray> expected = picturesAfter(old, edit);
        return [this, path, copyPath, before, expected, comments] {
            const FlacSnapshot after = flacSnapshot(copyPath, false);
            if (after.tagBytes != before.tagBytes || after.keptBlocks != before.keptBlocks)
                throw savedCopyWrong(u"metadata blocks besides the pictures changed"_s);
            if (!sameTail(path, before.layout.audioStart, copyPath, after.layout.audioStart))
                throw savedCopyWrong(u"its audio changed"_s);
            auto stream = openStream(copyPath, true);
            if (!stream)
                throw savedCopyWrong(u"it cannot be read back"_s);
            {
                TagLib::FLAC::File file(stream.get(), TagLib::ID3v2::FrameFactory::instance(),
                                        false);
                if (!file.isValid())
                    throw savedCopyWrong(u"its tags cannot be read back"_s);
                if (bytesOf(file.pictureList()) != expected)
                    throw savedCopyWrong(u"its pictures differ from the intended ones"_s);
                if (commentsOf(file.xiphComment(false)) != comments)
                    throw savedCopyWrong(u"other tags were lost"_s);
            }
            return readFacts(path, stream.get());
        };
    }
};

// ---------------------------------------------------------------- Ogg

enum class OggCodec { None, Vorbis, Opus };

// The first packet names the codec; it starts right after the first page's
// 27-byte header and its one-entry segment table.
OggCodec oggCodecOf(const QByteArray& head) {
    if (!head.startsWith("OggS") || head.size() < 36)
        return OggCodec::None;
    const QByteArray packet = head.mid(28, 8);
    if (packet.startsWith("\x01vorbis"))
        return OggCodec::Vorbis;
    if (packet == "OpusHead")
        return OggCodec::Opus;
    return OggCodec::None;
}

QByteArray headOfFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly | QIODevice::Unbuffered) ? file.read(HeadBytes)
                                                                  : QByteArray();
}

std::unique_ptr<TagLib::Ogg::File> openOgg(OggCodec codec, TagLib::IOStream* stream) {
    if (codec == OggCodec::Vorbis)
        return std::make_unique<TagLib::Ogg::Vorbis::File>(stream, false);
    return std::make_unique<TagLib::Ogg::Opus::File>(stream, false);
}

TagLib::Ogg::XiphComment* commentOf(TagLib::Ogg::File& file) {
    return dynamic_cast<TagLib::Ogg::XiphComment*>(file.tag());
}

// What a save must keep of an Ogg stream: every page after the header
// packets, but for its sequence number and checksum.
struct OggSnapshot {
    QByteArray audioDigest;
    int audioPages = 0;
};

OggSnapshot oggSnapshot(const QString& path, int headerPackets, bool forWriting) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw FileFailure{LibraryError::Unreadable, u"the file cannot be opened."_s};
    const RangeReader read = readerOf(file);
    QString error;
    const QList<OggPage> pages = walkOgg(file.size(), read, error);
    const auto refuse = [forWriting](const QString& why) {
        return forWriting ? FileFailure{LibraryError::Unreadable, why}
                          : savedCopyWrong(u"its pages are not right"_s);
    };
    if (!error.isEmpty())
        throw refuse(error);
    OggSnapshot snapshot;
    QCryptographicHash digest(QCryptographicHash::Sha256);
    int packets = 0;
    for (qsizetype i = 0; i < pages.size(); ++i) {
        const OggPage& page = pages[i];
        if (!page.crcValid)
            throw refuse(u"one of its pages is damaged (its checksum is wrong)."_s);
        if (page.sequence != quint32(i))
            throw refuse(u"its pages are out of order."_s);
        if (packets < headerPackets) {
            packets += page.packetsEnded;
            // The audio must begin on a page of its own, as the formats
            // require; otherwise part of it would escape the check below.
            if (packets > headerPackets || (packets == headerPackets && page.continued))
                throw refuse(u"its header and its audio share a page."_s);
            continue;
        }
        // Header fields but sequence number and checksum, then the rest.
        QByteArray bytes = read(page.offset, page.length);
        bytes.replace(18, 8, QByteArray(8, '\0'));
        digest.addData(bytes);
        ++snapshot.audioPages;
    }
    if (packets < headerPackets)
        throw refuse(u"its header packets are incomplete."_s);
    snapshot.audioDigest = digest.result();
    return snapshot;
}

class OggContainer : public PictureContainer {
public:
    bool claimsSuffix(const QString& suffix) const override {
        return suffix == u"ogg" || suffix == u"oga" || suffix == u"opus";
    }

    bool acceptsContent(const QString&, FileHead& head, bool) const override {
        return oggCodecOf(head.bytes()) != OggCodec::None;
    }

    AudioFileFacts readFacts(const QString& path, TagLib::IOStream* stream) const override {
        AudioFileFacts facts;
        facts.picturesSupported = true;
        facts.kind = kindForSuffix(suffixOf(path));
        if (!stream)
            return facts;
        const OggCodec codec = oggCodecOf(readHead(*stream, HeadBytes));
        if (codec == OggCodec::None)
            return facts;
        facts.kind = QString::fromUtf16(codec == OggCodec::Opus ? KindOpus : KindOggVorbis);
        const std::unique_ptr<TagLib::Ogg::File> file = openOgg(codec, stream);
        if (!file->isValid())
            return facts;
        TagLib::Ogg::XiphComment* comment = commentOf(*file);
        if (!comment)
            return facts;
        facts.tagsReadable = true;
        readTags(comment, facts);
        readPictureFacts(comment->pictureList(), facts);
        return facts;
    }

    QList<Picture> readPictures(const QString& path) const override {
        auto stream = openStream(path, true);
        if (!stream)
            throw FileFailure{LibraryError::Unreadable, u"the file cannot be opened."_s};
        const OggCodec codec = oggCodecOf(readHead(*stream, HeadBytes));
        const std::unique_ptr<TagLib::Ogg::File> file =
            codec == OggCodec::None ? nullptr : openOgg(codec, stream.get());
        TagLib::Ogg::XiphComment* comment = file && file->isValid() ? commentOf(*file) : nullptr;
        if (!comment)
            throw FileFailure{LibraryError::Unreadable, u"its tags cannot be read."_s};
        return picturesOf(comment->pictureList());
    }

    Verifier applyEdit(const QString& path, const QString& copyPath,
                       const PictureEdit& edit) const override {
        const OggCodec codec = oggCodecOf(headOfFile(copyPath));
        if (codec == OggCodec::None)
            throw FileFailure{LibraryError::Unreadable, u"its tags cannot be read."_s};
        const int headerPackets = codec == OggCodec::Vorbis ? 3 : 2;
        const OggSnapshot before = oggSnapshot(copyPath, headerPackets, true);
        auto stream = openStream(copyPath, false);
        if (!stream)
            throw FileFailure{LibraryError::WriteFailed,
                              u"its temporary copy cannot be opened for writing."_s};
        const std::unique_ptr<TagLib::Ogg::File> file = openOgg(codec, stream.get());
        TagLib::Ogg::XiphComment* comment = file->isValid() ? commentOf(*file) : nullptr;
        if (!comment)
            throw FileFailure{LibraryError::Unreadable, u"its tags cannot be read."_s};
        const QList<QByteArray> old = bytesOf(comment->pictureList());
        if (const QString problem = editProblem(edit, old.size()); !problem.isEmpty())
            throw FileFailure{LibraryError::InvalidArgument, problem};
        const QStringList comments = commentsOf(comment);
        applyOrder(*comment, edit);
        if (!file->save())
            throw FileFailure{LibraryError::WriteFailed, u"its tags could not be saved."_s};

        const QList<QByteArray> expected = picturesAfter(old, edit);
        return [this, path, copyPath, codec, headerPackets, before, expected, comments] {
            const OggSnapshot after = oggSnapshot(copyPath, headerPackets, false);
            if (after.audioDigest != before.audioDigest || after.audioPages != before.audioPages)
                throw savedCopyWrong(u"its audio changed"_s);
            auto stream = openStream(copyPath, true);
            if (!stream)
                throw savedCopyWrong(u"it cannot be read back"_s);
            {
                const std::unique_ptr<TagLib::Ogg::File> file = openOgg(codec, stream.get());
                TagLib::Ogg::XiphComment* comment = file->isValid() ? commentOf(*file) : nullptr;
                if (!comment)
                    throw savedCopyWrong(u"its tags cannot be read back"_s);
                if (bytesOf(comment->pictureList()) != expected)
                    throw savedCopyWrong(u"its pictures differ from the intended ones"_s);
                if (commentsOf(comment) != comments)
                    throw savedCopyWrong(u"other tags were lost"_s);
            }
            return readFacts(path, stream.get());
        };
    }
};

} // namespace

const PictureContainer& flacContainer() {
    static const FlacContainer container;
    return container;
}

const PictureContainer& oggContainer() {
    static const OggContainer container;
    return container;
}

} // namespace musiclibrary::tagio
