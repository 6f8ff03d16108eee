#include "musiclibrary/tagio/Mp4ItemAtoms.h"

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
};

quint64 bigEndian(const QByteArray& data, qsizetype pos, int bytes) {
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
            quint64 size = bigEndian(head, 0, 4);
            qint64 headerSize = 8;
            if (size == 1) {
                if (head.size() < 16)
                    return std::nullopt;
                size = bigEndian(head, 8, 8);
                headerSize = 16;
            } else if (size == 0) {
                size = static_cast<quint64>(end - pos); // runs to the end of its parent
            }
            if (size < static_cast<quint64>(headerSize) || size > static_cast<quint64>(end - pos))
                return std::nullopt;
            atoms.append(
                Atom{head.mid(4, 4), pos, pos + headerSize, pos + static_cast<qint64>(size)});
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

} // namespace musiclibrary::tagio
