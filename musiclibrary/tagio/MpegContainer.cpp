#include "musiclibrary/tagio/FileKinds.h"
#include "musiclibrary/tagio/Id3v2Container.h"
#include "musiclibrary/tagio/Id3v2FrameWalk.h"
#include "musiclibrary/tagio/TagLibBridge.h"

#include <taglib/mpegfile.h>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace musiclibrary::tagio {

namespace {

class MpegHost : public Id3v2Host {
public:
    explicit MpegHost(TagLib::IOStream* stream)
        : m_file(stream, TagLib::ID3v2::FrameFactory::instance(), false) {}

    TagLib::File& file() override { return m_file; }

    // TagLib calls random bytes a valid MPEG file; a tag or a real frame
    // header (checked against the next one) says more.
    bool usable() override {
        return m_file.isValid() && (m_file.hasID3v2Tag() || m_file.firstFrameOffset() >= 0);
    }
    TagLib::ID3v2::Tag* id3v2Tag() override { return m_file.ID3v2Tag(true); }
    bool hasId3v2Tag() override { return m_file.hasID3v2Tag(); }

    // TagLib looks for the tag only at the start of the file.
    QByteArray rawTag() override {
        const QByteArray header = readRange(m_file, 0, 10);
        if (!header.startsWith("ID3"))
            return {};
        const qint64 size = id3v2CompleteSize(header);
        return size < 0 ? header : readRange(m_file, 0, size);
    }

    bool save(TagLib::ID3v2::Version version) override {
        // Only the ID3v2 tag: no ID3v1 tag appears, an existing one stays.
        return m_file.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripNone, version,
                           TagLib::File::DoNotDuplicate);
    }

    // The audio keeps its length and its first frame keeps its distance from
    // the end of the tag.
    AudioLayout layout() override {
        const qint64 length = m_file.length();
        const qint64 tagEnd =
            std::min(length, std::max<qint64>(0, id3v2CompleteSize(readRange(m_file, 0, 10))));
        const qint64 firstFrame = m_file.firstFrameOffset();
        return AudioLayout{{length - tagEnd, firstFrame >= 0 ? firstFrame - tagEnd : -1}};
    }

    QString kind() override { return QString::fromUtf16(KindMpeg); }
    bool tagAtStartAlone() override { return true; }

private:
    TagLib::MPEG::File m_file;
};

class MpegContainer : public Id3v2Container {
public:
    bool claimsSuffix(const QString& suffix) const override {
        return suffix == u"mp3" || suffix == u"mp2" || suffix == u"mpga";
    }
    // A bare ID3v2 tag of unknown name is read like an MPEG file, as TagLib does.
    bool acceptsContent(const QString&, FileHead& head, bool byName) const override {
        return byName || head.bytes().startsWith("ID3");
    }

protected:
    std::unique_ptr<Id3v2Host> open(TagLib::IOStream* stream) const override {
        return std::make_unique<MpegHost>(stream);
    }
};

} // namespace

const PictureContainer& mpegContainer() {
    static const MpegContainer container;
    return container;
}

} // namespace musiclibrary::tagio
