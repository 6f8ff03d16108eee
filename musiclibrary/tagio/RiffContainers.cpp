#include "musiclibrary/tagio/FileKinds.h"
#include "musiclibrary/tagio/Id3v2Container.h"
#include "musiclibrary/tagio/RiffChunks.h"
#include "musiclibrary/tagio/TagLibBridge.h"

#include <taglib/aifffile.h>
#include <taglib/infotag.h>
#include <taglib/wavfile.h>

#include <algorithm>
#include <optional>

using namespace Qt::StringLiterals;

namespace musiclibrary::tagio {

namespace {

// What AIFF and WAV share: an ID3v2 tag in a chunk of its own.
class RiffHost : public Id3v2Host {
public:
    bool usable() override { return file().isValid() && !chunkLayout().chunks.isEmpty(); }

    QByteArray rawTag() override {
        for (const RiffChunk& chunk : chunkLayout().chunks) {
            if (chunk.isId3())
                return readRange(file(), chunk.dataOffset, chunk.size);
        }
        return {};
    }

    QString unsafeToSave() override {
        if (chunkLayout().cutOff)
            return u"its last chunk is cut off, so the file seems incomplete."_s;
        // TagLib reads the first ID3 chunk and removes all of them on a save.
        const auto& chunks = chunkLayout().chunks;
        if (std::count_if(chunks.begin(), chunks.end(),
                          [](const RiffChunk& c) { return c.isId3(); }) > 1) {
            return u"it holds more than one ID3v2 tag, and saving would lose all but the first."_s;
        }
        return {};
    }

    AudioLayout layout() override {
        AudioLayout result;
        for (const RiffChunk& chunk : chunksBesideId3(chunkLayout())) {
            const auto id = static_cast<unsigned char>(chunk.id.at(0)) << 24 |
                            static_cast<unsigned char>(chunk.id.at(1)) << 16 |
                            static_cast<unsigned char>(chunk.id.at(2)) << 8 |
                            static_cast<unsigned char>(chunk.id.at(3));
            result.values << qint64(id) << qint64(chunk.size);
        }
        result.values << (chunkLayout().cutOff ? 1 : 0);
        return result;
    }

protected:
    virtual bool bigEndian() const = 0;

    const RiffLayout& chunkLayout() {
        if (!m_layout) {
            TagLib::File& f = file();
            m_layout = readRiffLayout(
                [&f](qint64 offset, qint64 length) { return readRange(f, offset, length); },
                f.length(), bigEndian());
        }
        return *m_layout;
    }

private:
    std::optional<RiffLayout> m_layout;
};

class WavHost : public RiffHost {
public:
    explicit WavHost(TagLib::IOStream* stream) : m_file(stream, false) {}
    TagLib::File& file() override { return m_file; }
    TagLib::ID3v2::Tag* id3v2Tag() override { return m_file.ID3v2Tag(); }
    bool hasId3v2Tag() override { return m_file.hasID3v2Tag(); }
    bool save(TagLib::ID3v2::Version version) override {
        // StripNone: the default strip would delete the LIST/INFO chunk.
        return m_file.save(TagLib::RIFF::WAV::File::ID3v2, TagLib::File::StripNone, version);
    }
    // Fields the ID3v2 tag lacks come from the RIFF INFO chunk.
    void readBasicTags(AudioFileFacts& facts) override {
        Id3v2Host::readBasicTags(facts);
        const TagLib::RIFF::Info::Tag* info = m_file.InfoTag();
        if (!info)
            return;
        if (facts.title.isEmpty())
            facts.title = toQString(info->title());
        if (facts.artist.isEmpty())
            facts.artist = toQString(info->artist());
        if (facts.album.isEmpty())
            facts.album = toQString(info->album());
        if (facts.trackNumber == 0)
            facts.trackNumber = static_cast<int>(info->track() & 0x7FFFFFFF);
    }
    QString kind() override { return QString::fromUtf16(KindWav); }

protected:
    bool bigEndian() const override { return false; }

private:
    TagLib::RIFF::WAV::File m_file;
};

class AiffHost : public RiffHost {
public:
    explicit AiffHost(TagLib::IOStream* stream) : m_file(stream, false) {}
    TagLib::File& file() override { return m_file; }
    TagLib::ID3v2::Tag* id3v2Tag() override { return m_file.tag(); }
    bool hasId3v2Tag() override { return m_file.hasID3v2Tag(); }
    bool save(TagLib::ID3v2::Version version) override { return m_file.save(version); }
    QString kind() override { return QString::fromUtf16(KindAiff); }

protected:
    bool bigEndian() const override { return true; }

private:
    TagLib::RIFF::AIFF::File m_file;
};

template <typename Host> class RiffContainer : public Id3v2Container {
public:
    RiffContainer(QStringList suffixes, QByteArray magic, QList<QByteArray> forms)
        : m_suffixes(std::move(suffixes)), m_magic(std::move(magic)), m_forms(std::move(forms)) {}

    bool claimsSuffix(const QString& suffix) const override { return m_suffixes.contains(suffix); }
    bool acceptsContent(const QString&, FileHead& head, bool byName) const override {
        return byName ||
               (head.bytes().startsWith(m_magic) && m_forms.contains(head.bytes().mid(8, 4)));
    }

protected:
    std::unique_ptr<Id3v2Host> open(TagLib::IOStream* stream) const override {
        return std::make_unique<Host>(stream);
    }

private:
    QStringList m_suffixes;
    QByteArray m_magic;
    QList<QByteArray> m_forms;
};

} // namespace

const PictureContainer& wavContainer() {
    static const RiffContainer<WavHost> container({u"wav"_s}, "RIFF", {"WAVE"});
    return container;
}

const PictureContainer& aiffContainer() {
    static const RiffContainer<AiffHost> container({u"aif"_s, u"aiff"_s, u"aifc"_s}, "FORM",
                                                   {"AIFF", "AIFC"});
    return container;
}

} // namespace musiclibrary::tagio
