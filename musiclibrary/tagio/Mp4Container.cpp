#include "musiclibrary/tagio/FileKinds.h"
#include "musiclibrary/tagio/Mp4ItemAtoms.h"
#include "musiclibrary/tagio/PictureContainer.h"
#include "musiclibrary/tagio/TagLibBridge.h"

#include <QStringList>

#include <taglib/mp4atom.h>
#include <taglib/mp4coverart.h>
#include <taglib/mp4file.h>
#include <taglib/mp4properties.h>
#include <taglib/mp4tag.h>

#include <algorithm>
#include <limits>

using namespace Qt::StringLiterals;

namespace musiclibrary::tagio {

namespace {

const char* const CoverKey = "covr";
// A freeform item that holds room during a save; no file keeps it.
const char* const RoomKey = "----:org.quillmoth:room";

// Room for another picture as large as the largest, within bounds.
qint64 roomForNextChange(qint64 largestPicture) {
    return std::clamp<qint64>(largestPicture, 16 * 1024, 512 * 1024);
}

TagLib::MP4::CoverArt::Format coverFormatOf(const QByteArray& data) {
    switch (imageFormatOf(data)) {
    case ITArtworkFormatJPEG:
        return TagLib::MP4::CoverArt::JPEG;
    case ITArtworkFormatPNG:
        return TagLib::MP4::CoverArt::PNG;
    case ITArtworkFormatBMP:
        return TagLib::MP4::CoverArt::BMP;
    default:
        return isGif(data) ? TagLib::MP4::CoverArt::GIF : TagLib::MP4::CoverArt::Unknown;
    }
}

TagLib::MP4::CoverArtList coverList(TagLib::MP4::File& file) {
    TagLib::MP4::Tag* tag = file.tag();
    if (!tag || !tag->contains(CoverKey))
        return {};
    return tag->item(CoverKey).toCoverArtList();
}

QList<Picture> picturesOf(TagLib::MP4::File& file) {
    QList<Picture> pictures;
    for (const TagLib::MP4::CoverArt& cover : coverList(file)) {
        Picture picture;
        picture.data = toBytes(cover.data());
        picture.format = imageFormatOf(picture.data);
        picture.mimeType = mimeTypeOf(picture.data);
        pictures.append(picture);
    }
    return pictures;
}

QList<QByteArray> bytesOf(const QList<Picture>& pictures) {
    QList<QByteArray> bytes;
    for (const Picture& picture : pictures)
        bytes.append(picture.data);
    return bytes;
}

QStringList otherItems(TagLib::MP4::File& file) {
    QStringList keys;
    if (!file.tag())
        return keys;
    for (const auto& [key, item] : file.tag()->itemMap()) {
        Q_UNUSED(item);
        if (key != CoverKey)
            keys.append(toQString(key));
    }
    keys.sort();
    return keys;
}

bool isKnownCoverFlag(quint32 flag) {
    using TagLib::MP4::CoverArt;
    return flag == CoverArt::JPEG || flag == CoverArt::PNG || flag == CoverArt::BMP ||
           flag == CoverArt::GIF || flag == CoverArt::Unknown;
}

quint32 bigEndian32(const QByteArray& data, qsizetype pos) {
    quint32 value = 0;
    for (int i = 0; i < 4; ++i)
        value = (value << 8) | static_cast<unsigned char>(data.at(pos + i));
    return value;
}

// TagLib keeps only the "data" entries of known image types and forgets the
// rest on the next save; a file with anything else in its cover list (or
// with two cover lists) is refused instead.
QString unsafeCoverList(TagLib::MP4::File& file, TagLib::MP4::Atoms& atoms) {
    TagLib::MP4::Atom* ilst = atoms.find("moov", "udta", "meta", "ilst");
    if (!ilst)
        return {};
    const TagLib::MP4::AtomList covers = ilst->findall(CoverKey);
    if (covers.isEmpty())
        return {};
    if (covers.size() > 1)
        return u"it holds more than one cover list, and saving would lose all but one."_s;
    const TagLib::MP4::Atom* cover = covers.front();
    const QByteArray data = readRange(file, cover->offset + 8, cover->length - 8);
    qsizetype pos = 0;
    int entries = 0;
    bool clean = true;
    while (pos + 16 <= data.size()) {
        const quint32 length = bigEndian32(data, pos);
        if (length < 16 || length > data.size() - pos || data.mid(pos + 4, 4) != "data" ||
            !isKnownCoverFlag(bigEndian32(data, pos + 8))) {
            clean = false;
            break;
        }
        ++entries;
        pos += length;
    }
    if (!clean || pos != data.size() || entries != static_cast<int>(coverList(file).size()))
        return u"its cover list holds entries that cannot be read, and saving would lose them."_s;
    return {};
}

// A save moves the media data and so rewrites every chunk offset table
// ("stco", "co64") that TagLib finds anywhere in the movie atom. It walks as
// many entries as a table's count says, whatever the atom's size, writing
// over whatever follows; and a table that stands directly where the new tag
// goes (first in the movie atom, when there is no user data yet) is read
// from the bytes of the new tag instead, whose "count" keeps it writing for
// hours. A real file keeps its tables in a track's sample table, each with
// a count that fits; any other file is refused before TagLib touches it.
QString unsafeOffsetTables(TagLib::MP4::File& file, TagLib::MP4::Atoms& atoms) {
    TagLib::MP4::Atom* moov = atoms.find("moov");
    if (!moov)
        return {};
    QList<const TagLib::MP4::Atom*> inSampleTables;
    for (TagLib::MP4::Atom* trak : moov->findall("trak")) {
        if (TagLib::MP4::Atom* stbl = trak->find("mdia", "minf", "stbl")) {
            for (const char* name : {"stco", "co64"})
                for (const TagLib::MP4::Atom* table : stbl->findall(name))
                    inSampleTables.append(table);
        }
    }
    const QString damaged =
        u"its table of audio chunk positions is damaged, and saving would write it wrong."_s;
    for (const char* name : {"stco", "co64"}) {
        const qint64 entrySize = qstrcmp(name, "co64") == 0 ? 8 : 4;
        for (const TagLib::MP4::Atom* table : moov->findall(name, true)) {
            if (!inSampleTables.contains(table))
                return damaged;
            // Header, version and flags, entry count, then the entries.
            const QByteArray count = readRange(file, table->offset + 12, 4);
            if (count.size() < 4 || table->length < 16 ||
                qint64(bigEndian32(count, 0)) > (table->length - 16) / entrySize)
                return damaged;
        }
    }
    return {};
}

// The item atoms other than the pictures, as stored. Padding ("free") is
// left out: TagLib may move or drop it, and it holds nothing.
std::optional<QStringList> storedItemsBesidesCovers(TagLib::MP4::File& file,
                                                    int* coverLists = nullptr) {
    const auto names = mp4ItemNames(file.length(), [&file](qint64 offset, qint64 length) {
        return readRange(file, offset, length);
    });
    if (!names)
        return std::nullopt;
    QStringList others;
    int covers = 0;
    for (const QString& name : *names) {
        if (name == QLatin1StringView(CoverKey))
            ++covers;
        else if (name != u"free")
            others.append(name);
    }
    if (coverLists)
        *coverLists = covers;
    return others;
}

// What a save must leave alone: the size of every media data atom, where the
// first chunk of each track starts inside it, and whether the atoms fill the
// file.
AudioLayout mp4Layout(TagLib::MP4::File& file, TagLib::MP4::Atoms& atoms) {
    AudioLayout layout;
    qint64 covered = 0;
    for (const TagLib::MP4::Atom* atom : atoms.atoms) {
        covered += atom->length;
        if (atom->name == "mdat")
            layout.values << atom->length;
    }
    layout.values << (covered == file.length() ? 1 : 0);

    // Every track's first chunk: a file may hold more than the audio.
    TagLib::MP4::Atom* moov = atoms.find("moov");
    for (TagLib::MP4::Atom* trak : moov ? moov->findall("trak") : TagLib::MP4::AtomList()) {
        TagLib::MP4::Atom* stbl = trak->find("mdia", "minf", "stbl");
        qint64 firstChunk = -1;
        if (TagLib::MP4::Atom* stco = stbl ? stbl->find("stco") : nullptr) {
            const QByteArray head = readRange(file, stco->offset + 8, 12);
            if (head.size() == 12 && bigEndian32(head, 4) > 0)
                firstChunk = bigEndian32(head, 8);
        } else if (TagLib::MP4::Atom* co64 = stbl ? stbl->find("co64") : nullptr) {
            const QByteArray head = readRange(file, co64->offset + 8, 16);
            if (head.size() == 16 && bigEndian32(head, 4) > 0)
                firstChunk = qint64(bigEndian32(head, 8)) << 32 | bigEndian32(head, 12);
        }
        qint64 inMediaData = -1;
        for (const TagLib::MP4::Atom* atom : atoms.atoms) {
            if (atom->name == "mdat" && firstChunk >= atom->offset &&
                firstChunk < atom->offset + atom->length)
                inMediaData = firstChunk - atom->offset;
        }
        layout.values << inMediaData;
    }
    return layout;
}

class Mp4Container : public PictureContainer {
    // What a written file must hold: the pictures as intended, the items
    // besides them as they were, the audio where it was.
    struct Expectation {
        QList<QByteArray> pictures;
        QStringList others;
        QStringList storedOthers;
        AudioLayout layout;
    };

    AudioFileFacts checkWritten(const QString& path, const QString& written,
                                const Expectation& expected) const {
        auto stream = openStream(written, true);
        if (!stream)
            throw savedCopyWrong(u"it cannot be read back"_s);
        {
            TagLib::MP4::File file(stream.get(), false);
            if (!file.isValid())
                throw savedCopyWrong(u"its tags cannot be read back"_s);
            if (bytesOf(picturesOf(file)) != expected.pictures)
                throw savedCopyWrong(u"its pictures differ from the intended ones"_s);
            if (otherItems(file) != expected.others)
                throw savedCopyWrong(u"other tags were lost"_s);
            // TagLib forgets items it does not understand without a word.
            int coverLists = 0;
            if (storedItemsBesidesCovers(file, &coverLists) != expected.storedOthers ||
                coverLists != (expected.pictures.isEmpty() ? 0 : 1))
                throw savedCopyWrong(u"tag items the program cannot read would be lost"_s);
            TagLib::MP4::Atoms atoms(&file);
            if (!(mp4Layout(file, atoms) == expected.layout))
                throw savedCopyWrong(u"its audio data moved or was cut short"_s);
        }
        // The codec needs the audio properties, which the checks did not read.
        return readFacts(path, stream.get());
    }

public:
    bool claimsSuffix(const QString& suffix) const override {
        return suffix == u"m4a" || suffix == u"m4b" || suffix == u"m4p" || suffix == u"mp4" ||
               suffix == u"aac";
    }

    // Raw ADTS .aac files hold no MP4 atoms and so no pictures.
    bool acceptsContent(const QString& suffix, FileHead& head, bool byName) const override {
        return (byName && suffix != u"aac") || head.bytes().mid(4, 4) == "ftyp";
    }

    AudioFileFacts readFacts(const QString& path, TagLib::IOStream* stream) const override {
        AudioFileFacts facts;
        facts.picturesSupported = true;
        const bool isProtected = suffixOf(path) == u"m4p";
        facts.kind = QString::fromUtf16(isProtected ? KindProtectedAac : KindAac);
        if (!stream)
            return facts;
        // Only the codec needs the audio properties; reading them costs a few
        // small atoms, never the media data.
        TagLib::MP4::File file(stream, !isProtected, TagLib::AudioProperties::Fast);
        if (!file.isValid())
            return facts;
        if (!isProtected && file.audioProperties() &&
            file.audioProperties()->codec() == TagLib::MP4::Properties::ALAC)
            facts.kind = QString::fromUtf16(KindAppleLossless);
        facts.tagsReadable = true;
        if (const TagLib::MP4::Tag* tag = file.tag()) {
            facts.title = toQString(tag->title());
            facts.artist = toQString(tag->artist());
            facts.album = toQString(tag->album());
            facts.trackNumber = static_cast<int>(tag->track() & 0x7FFFFFFF);
        }
        for (const TagLib::MP4::CoverArt& cover : coverList(file))
            facts.pictures.append(pictureFactsOf(cover.data()));
        return facts;
    }

    QList<Picture> readPictures(const QString& path) const override {
        auto stream = openStream(path, true);
        if (!stream)
            throw FileFailure{LibraryError::Unreadable, u"the file cannot be opened."_s};
        TagLib::MP4::File file(stream.get(), false);
        if (!file.isValid())
            throw FileFailure{LibraryError::Unreadable, u"its tags cannot be read."_s};
        return picturesOf(file);
    }

    // A change that fits the padding the file already has rewrites only the
    // movie atom, where it lies: the media data stays, and so does every
    // chunk offset that points into it.
    std::optional<HeadRewrite> planHeadRewrite(const QString& path,
                                               const PictureEdit& edit) const override {
        auto stream = openStream(path, true);
        if (!stream)
            throw FileFailure{LibraryError::Unreadable, u"the file cannot be opened."_s};
        TagLib::MP4::File file(stream.get(), false);
        if (!file.isValid() || !file.tag())
            return std::nullopt;
        const ByteRangeReader read = [&file](qint64 offset, qint64 length) {
            return readRange(file, offset, length);
        };
        const std::optional<Mp4MovieTag> movie = mp4MovieTag(file.length(), read);
        if (!movie || movie->room.isEmpty())
            return std::nullopt;
        // The positions of the edit are those of the pictures TagLib reads:
        // they must be the entries the walk found, one for one.
        const QList<QByteArray> before = bytesOf(picturesOf(file));
        if (before.size() != movie->covers.size())
            return std::nullopt;
        for (qsizetype i = 0; i < before.size(); ++i)
            if (movie->covers[i].mid(16) != before[i])
                return std::nullopt;
        if (const QString problem = editProblem(edit, before.size()); !problem.isEmpty())
            throw FileFailure{LibraryError::InvalidArgument, problem};
        const std::optional<QStringList> storedOthers = storedItemsBesidesCovers(file);
        if (!storedOthers)
            return std::nullopt;

        QList<QByteArray> covers;
        for (int entry : orderAfter(before.size(), edit)) {
            if (entry >= 0) {
                covers.append(movie->covers[entry]);
                continue;
            }
            const QByteArray& image = edit.insert[-1 - entry].imageData;
            covers.append(mp4CoverEntry(quint32(coverFormatOf(image)), image));
        }
        const std::optional<QByteArray> region = mp4MovieWithCovers(*movie, covers);
        if (!region)
            return std::nullopt;

        TagLib::MP4::Atoms atoms(&file);
        const Expectation expected{picturesAfter(before, edit), otherItems(file), *storedOthers,
                                   mp4Layout(file, atoms)};
        HeadRewrite plan;
        plan.offset = movie->moov.offset;
        plan.oldHeadSize = region->size();
        plan.tag = *region;
        // The region is laid out whole; it is never written anew.
        plan.pad = [](const QByteArray& tag, qint64 size) {
            return size == tag.size() ? tag : QByteArray();
        };
        plan.verify = [this, path, expected](const QString& written) {
            return checkWritten(path, written, expected);
        };
        return plan;
    }

    Verifier applyEdit(const QString& path, const QString& copyPath,
                       const PictureEdit& edit) const override {
        bool roomHeld = false;
        const Expectation expected = saveEdit(copyPath, edit, roomHeld);
        if (roomHeld)
            releaseRoom(copyPath);
        return [this, path, copyPath, expected] { return checkWritten(path, copyPath, expected); };
    }

private:
    // Saves the edit with TagLib; roomHeld tells whether a placeholder item
    // holds room for the next change.
    static Expectation saveEdit(const QString& copyPath, const PictureEdit& edit, bool& roomHeld) {
        auto stream = openStream(copyPath, false);
        if (!stream)
            throw FileFailure{LibraryError::WriteFailed,
                              u"its temporary copy cannot be opened for writing."_s};
        TagLib::MP4::File file(stream.get(), false);
        if (!file.isValid() || !file.tag())
            throw FileFailure{LibraryError::Unreadable, u"its tags cannot be read."_s};
        TagLib::MP4::Atoms atoms(&file);
        QString unsafe = unsafeCoverList(file, atoms);
        if (unsafe.isEmpty())
            unsafe = unsafeOffsetTables(file, atoms);
        if (!unsafe.isEmpty())
            throw FileFailure{LibraryError::Unreadable, unsafe};

        TagLib::MP4::CoverArtList covers = coverList(file);
        const QList<QByteArray> before = bytesOf(picturesOf(file));
        if (const QString problem = editProblem(edit, before.size()); !problem.isEmpty())
            throw FileFailure{LibraryError::InvalidArgument, problem};
        const QStringList others = otherItems(file);
        const std::optional<QStringList> storedOthers = storedItemsBesidesCovers(file);
        if (!storedOthers)
            throw FileFailure{
                LibraryError::Unreadable,
                u"its tag atoms are damaged, and saving could lose what they hold."_s};
        const AudioLayout layout = mp4Layout(file, atoms);

        const QList<TagLib::MP4::CoverArt> old(covers.begin(), covers.end());
        covers.clear();
        for (int entry : orderAfter(old.size(), edit)) {
            if (entry >= 0) {
                covers.append(old[entry]);
                continue;
            }
            const QByteArray& image = edit.insert[-1 - entry].imageData;
            covers.append(TagLib::MP4::CoverArt(coverFormatOf(image), toByteVector(image)));
        }
        if (covers.isEmpty())
            file.tag()->removeItem(CoverKey);
        else
            file.tag()->setItem(CoverKey, TagLib::MP4::Item(covers));
        // TagLib pads the item list only to the next kilobyte, too little
        // for the next picture to be written in place. A placeholder as
        // large as a picture makes it set the room aside in the same pass
        // that moves the media data; releaseRoom turns it into padding.
        qint64 largest = 0;
        for (const TagLib::MP4::CoverArt& cover : covers)
            largest = std::max<qint64>(largest, cover.data().size());
        roomHeld = !file.tag()->contains(RoomKey);
        if (roomHeld) {
            TagLib::ByteVectorList room;
            room.append(TagLib::ByteVector(uint(roomForNextChange(largest)), '\0'));
            file.tag()->setItem(RoomKey, TagLib::MP4::Item(room));
        }
        if (!file.save())
            throw FileFailure{LibraryError::WriteFailed, u"its tags could not be saved."_s};
        return Expectation{picturesAfter(before, edit), others, *storedOthers, layout};
    }

    // The placeholder goes again. The item list shrinks, and TagLib keeps
    // what it held as padding after it, written where it lies: nothing else
    // moves. The copy is opened anew, as TagLib does not follow its own
    // atoms through a save.
    static void releaseRoom(const QString& copyPath) {
        auto stream = openStream(copyPath, false);
        if (!stream)
            throw FileFailure{LibraryError::WriteFailed,
                              u"its temporary copy cannot be opened for writing."_s};
        TagLib::MP4::File file(stream.get(), false);
        if (!file.isValid() || !file.tag() || !file.tag()->contains(RoomKey))
            throw savedCopyWrong(u"its tags cannot be read back"_s);
        file.tag()->removeItem(RoomKey);
        if (!file.save())
            throw FileFailure{LibraryError::WriteFailed, u"its tags could not be saved."_s};
    }
};

} // namespace

const PictureContainer& mp4Container() {
    static const Mp4Container container;
    return container;
}

} // namespace musiclibrary::tagio
