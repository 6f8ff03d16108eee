#include "musiclibrary/tagio/Id3v2Container.h"

#include "musiclibrary/tagio/Id3v2FrameWalk.h"
#include "musiclibrary/tagio/TagLibBridge.h"

#include <QStringList>

#include <taglib/attachedpictureframe.h>
#include <taglib/id3v2header.h>
#include <taglib/unknownframe.h>

#include <algorithm>
#include <array>
#include <limits>

using namespace Qt::StringLiterals;

namespace musiclibrary::tagio {

namespace {

const TagLib::ByteVector PictureFrameId("APIC");

// Frames that TagLib leaves out of every tag it writes, and those that have no
// v2.3 form. Their loss is TagLib's known behaviour, not a failed write.
constexpr std::array droppedOnEverySave{"RVAD", "TSIZ", "EQUA", "TRDA"};
constexpr std::array droppedFromV23{"ASPI", "EQU2", "RVA2", "SEEK", "SIGN", "TDRL", "TDTG",
                                    "TMOO", "TPRO", "TSOA", "TSOT", "TSST", "TSOP"};

template <std::size_t N> bool listed(const std::array<const char*, N>& ids, const QByteArray& id) {
    return std::any_of(ids.begin(), ids.end(), [&](const char* entry) { return id == entry; });
}

// Picture frames in file order. An encrypted APIC frame is no
// AttachedPictureFrame for TagLib, yet it is a picture in the file: it is
// listed (with its stored bytes) so that counts match what other tag readers
// report and so that it can be deleted.
QList<TagLib::ID3v2::Frame*> pictureFrames(TagLib::ID3v2::Tag* tag) {
    QList<TagLib::ID3v2::Frame*> frames;
    if (!tag)
        return frames;
    for (TagLib::ID3v2::Frame* frame : tag->frameList(PictureFrameId))
        frames.append(frame);
    return frames;
}

// A picture frame's fields besides the image, as Picture::record keeps them:
// a marker, the text encoding, the picture type, the MIME type and a zero,
// then the description in UTF-8.
const QByteArray RecordMarker("ID3APIC1");

QByteArray recordOf(const TagLib::ID3v2::AttachedPictureFrame& apic) {
    QByteArray record = RecordMarker;
    record.append(char(apic.textEncoding()));
    record.append(char(int(apic.type()) & 0xFF));
    record.append(toQString(apic.mimeType()).toLatin1());
    record.append('\0');
    record.append(toQString(apic.description()).toUtf8());
    return record;
}

Picture toPicture(const TagLib::ID3v2::Frame* frame) {
    Picture picture;
    if (auto apic = dynamic_cast<const TagLib::ID3v2::AttachedPictureFrame*>(frame)) {
        picture.data = toBytes(apic->picture());
        picture.mimeType = toQString(apic->mimeType());
        picture.type = int(apic->type()) & 0xFF;
        picture.description = toQString(apic->description());
        picture.record = recordOf(*apic);
    } else if (auto unknown = dynamic_cast<const TagLib::ID3v2::UnknownFrame*>(frame)) {
        picture.data = toBytes(unknown->data());
    }
    picture.format = imageFormatOf(picture.data);
    return picture;
}

// What the index keeps of a picture frame, without copying its bytes.
PictureFacts pictureFactsOf(const TagLib::ID3v2::Frame* frame) {
    if (auto apic = dynamic_cast<const TagLib::ID3v2::AttachedPictureFrame*>(frame))
        return tagio::pictureFactsOf(apic->picture());
    if (auto unknown = dynamic_cast<const TagLib::ID3v2::UnknownFrame*>(frame))
        return tagio::pictureFactsOf(unknown->data());
    return {};
}

QList<QByteArray> pictureBytes(TagLib::ID3v2::Tag* tag) {
    QList<QByteArray> bytes;
    for (const TagLib::ID3v2::Frame* frame : pictureFrames(tag))
        bytes.append(toPicture(frame).data);
    return bytes;
}

// The IDs of the frames besides pictures that a save to version must keep.
QStringList otherFrames(TagLib::ID3v2::Tag* tag, int version) {
    QStringList ids;
    if (!tag)
        return ids;
    for (const TagLib::ID3v2::Frame* frame : tag->frameList()) {
        const QByteArray id = toBytes(frame->frameID());
        if (id == "APIC" || listed(droppedOnEverySave, id) ||
            (version == 3 && listed(droppedFromV23, id)))
            continue;
        ids.append(QString::fromLatin1(id));
    }
    ids.sort();
    return ids;
}

// Refuses a file that TagLib did not read completely: saving it would write
// back only what TagLib understood.
void checkCompletelyRead(Id3v2Host& host) {
    const QString reason = host.unsafeToSave();
    if (!reason.isEmpty())
        throw FileFailure{LibraryError::Unreadable, reason};
    const QByteArray raw = host.rawTag();
    if (raw.isEmpty())
        return;
    const Id3v2Walk walk = walkId3v2Tag(raw);
    if (!walk.problem.isEmpty())
        throw FileFailure{LibraryError::Unreadable, walk.problem + u'.'};
    const int parsed = static_cast<int>(host.id3v2Tag()->frameList().size());
    if (parsed < walk.frames - walk.mergedOnRead) {
        throw FileFailure{LibraryError::Unreadable,
                          u"its ID3v2 tag holds %1 frames of which only %2 can be read, and "
                          u"saving would lose the others."_s.arg(walk.frames)
                              .arg(parsed)};
    }
}

// A new picture is a front cover whose description no other picture frame
// of the tag has: ID3v2 tells picture frames apart by their descriptions.
TagLib::ID3v2::Frame* newPictureFrame(const PictureInsertion& insertion,
                                      QStringList& descriptions) {
    auto frame = new TagLib::ID3v2::AttachedPictureFrame;
    frame->setPicture(toByteVector(insertion.imageData));
    const QByteArray& record = insertion.record;
    const qsizetype mimeEnd = record.indexOf('\0', RecordMarker.size() + 2);
    if (record.startsWith(RecordMarker) && mimeEnd > 0 && quint8(record[8]) <= 3) {
        // A picture given back: as it was.
        frame->setTextEncoding(TagLib::String::Type(quint8(record[8])));
        frame->setType(TagLib::ID3v2::AttachedPictureFrame::Type(quint8(record[9])));
        const QByteArray mime = record.mid(10, mimeEnd - 10);
        frame->setMimeType(TagLib::String(mime.constData()));
        // As it was, even beside a twin: a restore reproduces the tag it
        // undoes, and a song changed since is never restored.
        const QByteArray description = record.mid(mimeEnd + 1);
        frame->setDescription(TagLib::String(description.toStdString(), TagLib::String::UTF8));
        descriptions.append(QString::fromUtf8(description));
        return frame;
    }
    frame->setTextEncoding(TagLib::String::Latin1);
    frame->setType(TagLib::ID3v2::AttachedPictureFrame::FrontCover);
    const QByteArray mime = mimeTypeOf(insertion.imageData).toLatin1();
    frame->setMimeType(TagLib::String(mime.constData()));
    frame->setDescription(TagLib::String(newDescription(descriptions).toLatin1().constData()));
    return frame;
}

// A tag writes its frames in the order they were added. The pictures that
// already stand where the edit wants them stay put; from the first one out
// of place on, every kept picture is taken out and added again behind the
// new ones as the order says.
void applyToTag(TagLib::ID3v2::Tag* tag, const PictureEdit& edit) {
    const QList<TagLib::ID3v2::Frame*> frames = pictureFrames(tag);
    const QList<int> order = orderAfter(frames.size(), edit);
    QList<int> kept;
    for (int entry : order)
        if (entry >= 0)
            kept.append(entry);
    qsizetype inPlace = 0;
    while (inPlace < order.size() && inPlace < kept.size() && order[inPlace] == kept[inPlace])
        ++inPlace;
    QStringList descriptions;
    for (int entry : kept)
        if (auto apic = dynamic_cast<const TagLib::ID3v2::AttachedPictureFrame*>(frames[entry]))
            descriptions.append(toQString(apic->description()));
    for (int index : edit.remove)
        tag->removeFrame(frames[index]); // deletes the frame
    for (qsizetype i = inPlace; i < kept.size(); ++i)
        tag->removeFrame(frames[kept[i]], false); // kept: added again below
    for (qsizetype i = inPlace; i < order.size(); ++i) {
        const int entry = order[i];
        // The tag owns every frame added.
        tag->addFrame(entry >= 0 ? frames[entry]
                                 : newPictureFrame(edit.insert[-1 - entry], descriptions));
    }
}

std::unique_ptr<Id3v2Host> usableOrThrow(std::unique_ptr<Id3v2Host> host) {
    if (!host || !host->usable())
        throw FileFailure{LibraryError::Unreadable, u"its tags cannot be read."_s};
    return host;
}

} // namespace

void Id3v2Host::readBasicTags(AudioFileFacts& facts) {
    const TagLib::Tag* all = file().tag();
    if (!all)
        return;
    // The ID3v2 tag comes first in the tag TagLib makes of these files, and
    // that union works out each field twice; asking the ID3v2 tag first
    // gives the same answer at half the cost in the usual case.
    const TagLib::Tag* first = hasId3v2Tag() ? id3v2Tag() : nullptr;
    const auto text = [&](TagLib::String (TagLib::Tag::*field)() const) {
        if (first) {
            const TagLib::String value = (first->*field)();
            if (!value.isEmpty())
                return toQString(value);
        }
        return toQString((all->*field)());
    };
    facts.title = text(&TagLib::Tag::title);
    facts.artist = text(&TagLib::Tag::artist);
    facts.album = text(&TagLib::Tag::album);
    unsigned int track = first ? first->track() : 0;
    if (track == 0)
        track = all->track();
    facts.trackNumber = static_cast<int>(
        std::min<unsigned int>(track, static_cast<unsigned int>(std::numeric_limits<int>::max())));
}

namespace {

AudioFileFacts factsOf(Id3v2Host& host) {
    AudioFileFacts facts;
    facts.picturesSupported = true;
    facts.kind = host.kind();
    if (!host.usable())
        return facts;
    facts.tagsReadable = true;
    host.readBasicTags(facts);
    TagLib::ID3v2::Tag* tag = host.hasId3v2Tag() ? host.id3v2Tag() : nullptr;
    for (const TagLib::ID3v2::Frame* frame : pictureFrames(tag))
        facts.pictures.append(pictureFactsOf(frame));
    return facts;
}

} // namespace

AudioFileFacts Id3v2Container::readFacts(const QString&, TagLib::IOStream* stream) const {
    if (!stream) {
        AudioFileFacts facts;
        facts.picturesSupported = true;
        return facts;
    }
    return factsOf(*open(stream));
}

QList<Picture> Id3v2Container::readPictures(const QString& path) const {
    auto stream = openStream(path, true);
    if (!stream)
        throw FileFailure{LibraryError::Unreadable, u"the file cannot be opened."_s};
    auto host = usableOrThrow(open(stream.get()));
    QList<Picture> pictures;
    TagLib::ID3v2::Tag* tag = host->hasId3v2Tag() ? host->id3v2Tag() : nullptr;
    for (const TagLib::ID3v2::Frame* frame : pictureFrames(tag))
        pictures.append(toPicture(frame));
    return pictures;
}

Verifier Id3v2Container::applyEdit(const QString&, const QString& copyPath,
                                   const PictureEdit& edit) const {
    auto stream = openStream(copyPath, false);
    if (!stream)
        throw FileFailure{LibraryError::WriteFailed,
                          u"its temporary copy cannot be opened for writing."_s};
    auto host = usableOrThrow(open(stream.get()));
    checkCompletelyRead(*host);

    const bool hadTag = host->hasId3v2Tag();
    TagLib::ID3v2::Tag* tag = host->id3v2Tag();
    // Many players and file browsers show no pictures of a v2.4 tag: only a
    // tag that already is v2.4 stays so.
    const int version = hadTag && tag->header()->majorVersion() == 4 ? 4 : 3;
    const QList<QByteArray> before = pictureBytes(tag);
    if (const QString problem = editProblem(edit, before.size()); !problem.isEmpty())
        throw FileFailure{LibraryError::InvalidArgument, problem};
    const QStringList others = otherFrames(tag, version);
    const AudioLayout layout = host->layout();

    applyToTag(tag, edit);
    if (!host->save(version == 4 ? TagLib::ID3v2::v4 : TagLib::ID3v2::v3))
        throw FileFailure{LibraryError::WriteFailed, u"its tags could not be saved."_s};
    const QList<QByteArray> expected = picturesAfter(before, edit);
    return [this, copyPath, expected, others, layout, version] {
        return verify(copyPath, expected, others, layout, version);
    };
}

std::optional<HeadRewrite> Id3v2Container::planHeadRewrite(const QString& path,
                                                           const PictureEdit& edit) const {
    auto stream = openStream(path, true);
    if (!stream)
        throw FileFailure{LibraryError::Unreadable, u"the file cannot be opened."_s};
    auto host = usableOrThrow(open(stream.get()));
    if (!host->tagAtStartAlone())
        return std::nullopt;
    checkCompletelyRead(*host);
    const QByteArray raw = host->rawTag();
    qint64 oldHeadSize = 0;
    if (!raw.isEmpty()) {
        const Id3v2Walk walk = walkId3v2Tag(raw);
        // A footer or a tag that does not stand whole at the start: the
        // general path knows how to handle what TagLib makes of it.
        if (!walk.intact() || (walk.majorVersion == 4 && (quint8(raw.at(5)) & 0x10)))
            return std::nullopt;
        oldHeadSize = walk.completeSize;
    }
    const bool hadTag = host->hasId3v2Tag();
    TagLib::ID3v2::Tag* tag = host->id3v2Tag();
    const int version = hadTag && tag->header()->majorVersion() == 4 ? 4 : 3;
    const QList<QByteArray> before = pictureBytes(tag);
    if (const QString problem = editProblem(edit, before.size()); !problem.isEmpty())
        throw FileFailure{LibraryError::InvalidArgument, problem};
    const QStringList others = otherFrames(tag, version);
    const AudioLayout layout = host->layout();

    applyToTag(tag, edit);
    const QByteArray rendered =
        toBytes(tag->render(version == 4 ? TagLib::ID3v2::v4 : TagLib::ID3v2::v3));
    const Id3v2Walk walk = walkId3v2Tag(rendered);
    // What TagLib writes has no footer, no extended header and no
    // unsynchronisation; anything else goes the general way.
    if (!walk.intact() || walk.framesEnd < 10 || (quint8(rendered.at(5)) & 0xF0))
        return std::nullopt;
    HeadRewrite plan;
    plan.oldHeadSize = oldHeadSize;
    plan.tag = paddedTag(rendered.left(walk.framesEnd), walk.framesEnd);
    const QList<QByteArray> expected = picturesAfter(before, edit);
    plan.verify = [this, expected, others, layout, version](const QString& written) {
        return verify(written, expected, others, layout, version);
    };
    return plan;
}

AudioFileFacts Id3v2Container::verify(const QString& copyPath,
                                      const QList<QByteArray>& expectedPictures,
                                      const QStringList& expectedOtherFrames,
                                      const AudioLayout& expectedLayout,
                                      int expectedVersion) const {
    auto stream = openStream(copyPath, true);
    if (!stream)
        throw savedCopyWrong(u"it cannot be read back"_s);
    auto host = open(stream.get());
    if (!host->usable())
        throw savedCopyWrong(u"its tags cannot be read back"_s);
    TagLib::ID3v2::Tag* tag = host->hasId3v2Tag() ? host->id3v2Tag() : nullptr;
    if (tag) {
        const Id3v2Walk walk = walkId3v2Tag(host->rawTag());
        if (!walk.intact())
            throw savedCopyWrong(u"its new tag is damaged"_s);
        if (walk.majorVersion != expectedVersion)
            throw savedCopyWrong(u"its tag has the wrong version"_s);
    }
    if (pictureBytes(tag) != expectedPictures)
        throw savedCopyWrong(u"its pictures differ from the intended ones"_s);
    if (otherFrames(tag, expectedVersion) != expectedOtherFrames)
        throw savedCopyWrong(u"other tags were lost"_s);
    if (!(host->layout() == expectedLayout))
        throw savedCopyWrong(u"its audio data moved or was cut short"_s);
    return factsOf(*host);
}

} // namespace musiclibrary::tagio
