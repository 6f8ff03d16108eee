#include "musiclibrary/tagio/Mp4ItemAtoms.h"

#include "musiclibrary/tagio/ByteOrder.h"

using namespace Qt::StringLiterals;

namespace musiclibrary::tagio {

namespace {

// Far more items than any tag holds; a list with more is taken as hostile
// rather than walked to the end.
constexpr int MaxItems = 100000;
// Freeform mean and name strings are short reverse-domain words.
constexpr qint64 MaxFreeformText = 1024;

struct Atom {
    QByteArray name;
    qint64 offset = 0;  // of the header
    qint64 content = 0; // where the children or the payload start
    qint64 end = 0;
    bool toEnd = false; // its size said "to the end of the parent"
};

quint64 bigEndian64(const QByteArray& data, qsizetype pos, int bytes) {
    quint64 value = 0;
    for (int i = 0; i < bytes; ++i)
        value = (value << 8) | static_cast<unsigned char>(data.at(pos + i));
    return value;
}

class AtomWalk {
public:
    explicit AtomWalk(const ByteRangeReader& read) : m_read(read) {}

    // The children of the range [begin, end); nullopt when one is damaged.
    std::optional<QList<Atom>> children(qint64 begin, qint64 end) const {
        QList<Atom> atoms;
        qint64 pos = begin;
        while (pos < end) {
            if (end - pos < 8 || atoms.size() > MaxItems)
                return std::nullopt;
            const QByteArray head = m_read(pos, 16);
            if (head.size() < 8)
                return std::nullopt;
            quint64 size = bigEndian64(head, 0, 4);
            qint64 headerSize = 8;
            if (size == 1) {
                if (head.size() < 16)
                    return std::nullopt;
                size = bigEndian64(head, 8, 8);
                headerSize = 16;
            } else if (size == 0) {
                size = static_cast<quint64>(end - pos); // runs to the end of its parent
            }
            if (size < static_cast<quint64>(headerSize) || size > static_cast<quint64>(end - pos))
                return std::nullopt;
            atoms.append(Atom{head.mid(4, 4), pos, pos + headerSize,
                              pos + static_cast<qint64>(size), bigEndian64(head, 0, 4) == 0});
            pos += static_cast<qint64>(size);
        }
        return atoms;
    }

    // The first child called name, with its children starting skip bytes
    // into its payload (meta has a version and flags first).
    std::optional<std::optional<Atom>> child(const Atom& parent, const char* name,
                                             qint64 skip = 0) const {
        const auto atoms = children(parent.content, parent.end);
        if (!atoms)
            return std::nullopt;
        for (Atom atom : *atoms) {
            if (atom.name == name) {
                if (atom.end - atom.content < skip)
                    return std::nullopt;
                atom.content += skip;
                return std::optional<Atom>(atom);
            }
        }
        return std::optional<Atom>();
    }

    // A freeform item's name: "----:mean:name", with "?" for a missing part.
    std::optional<QString> freeformName(const Atom& item) const {
        const auto parts = children(item.content, item.end);
        if (!parts)
            return std::nullopt;
        QString mean = u"?"_s;
        QString name = u"?"_s;
        for (const Atom& part : *parts) {
            if (part.name != "mean" && part.name != "name")
                continue;
            // A version and flags come before the text.
            const qint64 textLength = part.end - part.content - 4;
            if (textLength < 0 || textLength > MaxFreeformText)
                return std::nullopt;
            const QString text = QString::fromUtf8(m_read(part.content + 4, textLength));
            (part.name == "mean" ? mean : name) = text;
        }
        return u"----:"_s + mean + u':' + name;
    }

private:
    const ByteRangeReader& m_read;
};

} // namespace

std::optional<QStringList> mp4ItemNames(qint64 fileLength, const ByteRangeReader& read) {
    const AtomWalk walk(read);
    const Atom file{{}, 0, 0, fileLength};
    const struct Step {
        const char* name;
        qint64 skip;
    } path[] = {{"moov", 0}, {"udta", 0}, {"meta", 4}, {"ilst", 0}};
    Atom current = file;
    for (const Step& step : path) {
        const auto found = walk.child(current, step.name, step.skip);
        if (!found)
            return std::nullopt;
        if (!*found)
            return QStringList();
        current = **found;
    }
    const auto items = walk.children(current.content, current.end);
    if (!items)
        return std::nullopt;
    QStringList names;
    for (const Atom& item : *items) {
        if (item.name == "----") {
            const auto name = walk.freeformName(item);
            if (!name)
                return std::nullopt;
            names.append(*name);
        } else {
            names.append(QString::fromLatin1(item.name));
        }
    }
    names.sort();
    return names;
}

namespace {

// A movie atom larger than this is not read into memory to be changed in
// place; the file is written anew instead.
constexpr qint64 MaxMovieBytes = 128LL * 1024 * 1024;
constexpr quint64 MaxSize32 = 0xFFFFFFFFu;

bool isPadding(const Atom& atom) {
    return atom.name == "free" || atom.name == "skip";
}

Mp4Box boxOf(const Atom& atom) {
    return Mp4Box{atom.offset, atom.content - atom.offset, atom.end};
}

// The one child called name; nullopt when there is none or more than one.
std::optional<Atom> onlyChild(const QList<Atom>& atoms, const char* name) {
    std::optional<Atom> found;
    for (const Atom& atom : atoms) {
        if (atom.name != name)
            continue;
        if (found || atom.toEnd)
            return std::nullopt;
        found = atom;
    }
    return found;
}

// The image types an MP4 cover list entry can declare.
bool isCoverType(quint32 type) {
    return type == 0 || type == 12 || type == 13 || type == 14 || type == 27;
}

QByteArray atomHeader(qint64 headerSize, quint64 size, const char* name) {
    QByteArray bytes;
    appendBigEndian(bytes, headerSize == 16 ? 1 : quint32(size), 4);
    bytes.append(name, 4);
    if (headerSize == 16) {
        appendBigEndian(bytes, quint32(size >> 32), 4);
        appendBigEndian(bytes, quint32(size & MaxSize32), 4);
    }
    return bytes;
}

} // namespace

std::optional<Mp4MovieTag> mp4MovieTag(qint64 fileLength, const ByteRangeReader& read) {
    const AtomWalk fileWalk(read);
    const auto top = fileWalk.children(0, fileLength);
    if (!top)
        return std::nullopt;
    Mp4MovieTag tag;
    qsizetype moovAt = -1;
    for (qsizetype i = 0; i < top->size(); ++i) {
        const Atom& atom = top->at(i);
        // Fragments carry chunk positions of their own.
        if (atom.name == "moof" || atom.name == "mfra")
            return std::nullopt;
        if (atom.name == "moov") {
            if (moovAt >= 0 || atom.toEnd)
                return std::nullopt;
            moovAt = i;
        }
    }
    // A movie atom at the very start is not what any muxer writes.
    if (moovAt <= 0)
        return std::nullopt;
    const Atom moov = top->at(moovAt);
    if (moov.end - moov.offset > MaxMovieBytes)
        return std::nullopt;
    tag.moov = boxOf(moov);
    tag.moovBytes = read(moov.offset, moov.end - moov.offset);
    if (tag.moovBytes.size() != moov.end - moov.offset)
        return std::nullopt;

    // The rest of the walk reads the movie atom in memory.
    const QByteArray& bytes = tag.moovBytes;
    const ByteRangeReader inMemory = [&bytes, &moov](qint64 offset, qint64 length) {
        return bytes.mid(offset - moov.offset, length);
    };
    const AtomWalk walk(inMemory);
    const auto inMoov = walk.children(moov.content, moov.end);
    if (!inMoov)
        return std::nullopt;
    for (const Atom& atom : *inMoov)
        if (atom.name == "mvex")
            return std::nullopt;
    // Each atom on the way to the item list, and the children of each.
    QList<Atom> path{moov};
    QList<QList<Atom>> levels{*inMoov};
    const struct Step {
        const char* name;
        qint64 skip; // meta has a version and flags before its children
    } steps[] = {{"udta", 0}, {"meta", 4}, {"ilst", 0}};
    for (const Step& step : steps) {
        const auto atom = onlyChild(levels.last(), step.name);
        if (!atom || atom->end - atom->content < step.skip)
            return std::nullopt;
        const auto children = walk.children(atom->content + step.skip, atom->end);
        if (!children)
            return std::nullopt;
        path.append(*atom);
        levels.append(*children);
    }
    for (const Atom& atom : path)
        tag.path.append(boxOf(atom));
    tag.covr = Mp4Box{0, 0, 0};

    int coverLists = 0;
    for (const Atom& item : levels.last()) {
        if (item.name != "covr")
            continue;
        if (++coverLists > 1 || item.toEnd)
            return std::nullopt;
        tag.covr = boxOf(item);
        const auto entries = walk.children(item.content, item.end);
        if (!entries)
            return std::nullopt;
        for (const Atom& entry : *entries) {
            // Name, type and locale; TagLib reads nothing else.
            if (entry.name != "data" || entry.toEnd || entry.content - entry.offset != 8 ||
                entry.end - entry.content < 8)
                return std::nullopt;
            const QByteArray whole = inMemory(entry.offset, entry.end - entry.offset);
            if (!isCoverType(bigEndian(whole, 8, 4)))
                return std::nullopt;
            tag.covers.append(whole);
        }
    }

    const auto addRoom = [&tag](const QList<Atom>& atoms, const Atom& after, int parent) {
        bool past = false;
        for (const Atom& atom : atoms) {
            if (past && isPadding(atom) && !atom.toEnd)
                tag.room.append({boxOf(atom), parent, atom.name});
            past = past || atom.offset == after.offset;
        }
    };
    // Padding after the item list, after meta, after udta, innermost first.
    for (int parent = 2; parent >= 0; --parent)
        addRoom(levels[parent], path[parent + 1], parent);
    if (moovAt + 1 < top->size()) {
        const Atom& next = top->at(moovAt + 1);
        if (isPadding(next) && !next.toEnd)
            tag.room.append({boxOf(next), -1, next.name});
    }
    return tag;
}

std::optional<QByteArray> mp4MovieWithCovers(const Mp4MovieTag& tag,
                                             const QList<QByteArray>& covers) {
    if (tag.path.size() != 4)
        return std::nullopt;
    const qint64 base = tag.moov.offset;
    const Mp4Box& ilst = tag.path[3];
    QByteArray items =
        tag.moovBytes.mid(ilst.offset + ilst.header - base, ilst.end - ilst.offset - ilst.header);
    QByteArray list;
    for (const QByteArray& entry : covers)
        list += entry;
    if (!list.isEmpty())
        list.prepend(atomHeader(8, quint64(8 + list.size()), "covr"));
    if (quint64(list.size()) > MaxSize32)
        return std::nullopt;
    if (tag.covr.offset > 0)
        items.replace(tag.covr.offset - ilst.offset - ilst.header, tag.covr.end - tag.covr.offset,
                      list);
    else
        items += list;
    const qint64 growth = items.size() - (ilst.end - ilst.offset - ilst.header);

    for (const Mp4MovieTag::Room& room : tag.room) {
        const qint64 oldSize = room.box.end - room.box.offset;
        const qint64 newSize = oldSize - growth;
        // Padding too small to be an atom cannot stay; none at all can.
        if (newSize != 0 &&
            (newSize < room.box.header || (room.box.header == 8 && quint64(newSize) > MaxSize32)))
            continue;
        QByteArray padding;
        if (newSize > 0) {
            padding = atomHeader(room.box.header, quint64(newSize), room.name.constData());
            padding.append(QByteArray(newSize - room.box.header, '\0'));
        }
        // Atoms between the item list and the padding grow or shrink with it.
        QList<qint64> sizes;
        bool fits = true;
        for (int i = 0; i < tag.path.size(); ++i) {
            const Mp4Box& box = tag.path[i];
            const qint64 size = box.end - box.offset + (i > room.parent ? growth : 0);
            fits = fits && (box.header == 16 || quint64(size) <= MaxSize32);
            sizes.append(size);
        }
        if (!fits)
            continue;

        QByteArray movie = tag.moovBytes;
        if (room.parent < 0)
            movie += padding; // the old padding atom after moov is replaced whole
        else
            movie.replace(room.box.offset - base, oldSize, padding);
        movie.replace(ilst.offset + ilst.header - base, ilst.end - ilst.offset - ilst.header,
                      items);
        for (int i = 0; i < tag.path.size(); ++i) {
            const Mp4Box& box = tag.path[i];
            const QByteArray name = movie.mid(box.offset - base + 4, 4);
            movie.replace(box.offset - base, box.header,
                          atomHeader(box.header, quint64(sizes[i]), name.constData()));
        }
        const qint64 before = tag.moovBytes.size() + (room.parent < 0 ? oldSize : 0);
        if (movie.size() != before)
            return std::nullopt;
        return movie;
    }
    return std::nullopt;
}

QByteArray mp4CoverEntry(quint32 format, const QByteArray& image) {
    QByteArray entry = atomHeader(8, quint64(16 + image.size()), "data");
    appendBigEndian(entry, format, 4);
    appendBigEndian(entry, 0, 4);
    return entry + image;
}

} // namespace musiclibrary::tagio
