#include "musiclibrary/AudioFileIO.h"

#include "musiclibrary/FileFailure.h"
#include "musiclibrary/HeadWrite.h"
#include "musiclibrary/ITunes.h"
#include "musiclibrary/SafeFileWrite.h"
#include "musiclibrary/tagio/FileKinds.h"
#include "musiclibrary/tagio/PictureContainer.h"
#include "musiclibrary/tagio/TagLibBridge.h"

#include <QFile>
#include <QFileInfo>

#include <taglib/fileref.h>
#include <taglib/tag.h>
#include <taglib/tpropertymap.h>

#include <new>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace musiclibrary {

namespace {

// Enough for an Ogg stream's first packet to name its codec.
constexpr qint64 HeadBytes = 64;

QByteArray headOf(const QString& path) {
    QFile file(path);
    // Unbuffered: a buffered read of a few bytes would fetch 16 KB.
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return {};
    return file.read(HeadBytes);
}

// The extension chooses the container; the content only where the extension
// is unknown, or to turn away what is plainly something else (raw AAC).
const tagio::PictureContainer* containerFor(const QString& path, tagio::FileHead& head) {
    const QString suffix = tagio::suffixOf(path);
    const auto& containers = tagio::pictureContainers();
    for (const tagio::PictureContainer* container : containers) {
        if (container->claimsSuffix(suffix))
            return container->acceptsContent(suffix, head, true) ? container : nullptr;
    }
    if (!tagio::kindForSuffix(suffix).isEmpty())
        return nullptr;
    for (const tagio::PictureContainer* container : containers) {
        if (container->acceptsContent(suffix, head, false))
            return container;
    }
    return nullptr;
}

const tagio::PictureContainer* containerFor(const QString& path) {
    tagio::FileHead head([&path] { return headOf(path); });
    return containerFor(path, head);
}

// Kinds whose pictures are not handled still give their title and artist.
AudioFileFacts readPlainFacts(const QString& path, TagLib::IOStream* stream) {
    AudioFileFacts facts;
    facts.kind = kindForFileName(path);
    if (!stream)
        return facts;
    const TagLib::FileRef ref(stream, false);
    const TagLib::Tag* tag = ref.isNull() ? nullptr : ref.tag();
    if (!tag)
        return facts;
    facts.tagsReadable = true;
    facts.title = tagio::toQString(tag->title());
    facts.artist = tagio::toQString(tag->artist());
    facts.album = tagio::toQString(tag->album());
    facts.trackNumber = static_cast<int>(tag->track() & 0x7FFFFFFF);
    return facts;
}

QString unsupportedReason(const QString& path) {
    const QString kind = kindForFileName(path);
    if (kind.isEmpty())
        return u"files of this kind cannot hold artwork."_s;
    return u"files of this kind (%1) cannot hold artwork."_s.arg(kind);
}

template <typename Work> auto describingFailures(const QString& prefix, Work work) {
    try {
        return work();
    } catch (const FileFailure& failure) {
        throw LibraryError(failure.number, prefix + failure.reason);
    } catch (const std::bad_alloc&) {
        throw LibraryError(LibraryError::Failed, prefix + u"there is not enough memory."_s);
    }
}

AudioFileFacts applyChange(const QString& path, const QString& prefix,
                           const tagio::PictureEdit& edit) {
    return describingFailures(prefix, [&] {
        if (!QFileInfo::exists(path))
            throw FileFailure{LibraryError::NotFound, u"the file does not exist."_s};
        const tagio::PictureContainer* container = containerFor(path);
        if (!container)
            throw FileFailure{LibraryError::Unsupported, unsupportedReason(path)};
        struct stat seen {};
        if (::stat(QFile::encodeName(path).constData(), &seen) == 0 && S_ISREG(seen.st_mode)) {
            if (const std::optional<tagio::HeadRewrite> plan =
                    container->planHeadRewrite(path, edit))
                return writeHeadRewrite(path, *plan, seen);
        }
        SafeFileWrite write(path);
        write.enter(SafeFileWrite::Stage::Change);
        const tagio::Verifier verify = container->applyEdit(path, write.copyPath(), edit);
        write.enter(SafeFileWrite::Stage::Verify);
        AudioFileFacts written = verify();
        write.commit();
        return written;
    });
}

} // namespace

AudioFileFacts readAudioFileFacts(const QString& path) {
    try {
        // Indexing a library reads every file: one open serves the content
        // check and the tags alike.
        const auto stream = tagio::openStream(path, true);
        tagio::FileHead head(
            [&stream] { return stream ? tagio::readHead(*stream, HeadBytes) : QByteArray(); });
        if (const tagio::PictureContainer* container = containerFor(path, head))
            return container->readFacts(path, stream.get());
        return readPlainFacts(path, stream.get());
    } catch (const std::exception&) {
        // Only running out of memory on a crafted file gets here.
        AudioFileFacts facts;
        facts.kind = kindForFileName(path);
        return facts;
    }
}

AlbumTags readAlbumTags(const QString& path) {
    AlbumTags tags;
    try {
        const auto stream = tagio::openStream(path, true);
        if (!stream)
            return tags;
        const TagLib::FileRef ref(stream.get(), false);
        if (ref.isNull() || !ref.file())
            return tags;
        // TagLib's property names are the same for every container.
        const TagLib::PropertyMap properties = ref.file()->properties();
        const auto first = [&properties](const char* name) {
            const auto found = properties.find(name);
            if (found == properties.end() || found->second.isEmpty())
                return QString();
            return tagio::toQString(found->second.front()).trimmed();
        };
        tags.albumArtist = first("ALBUMARTIST");
        tags.releaseId = first("MUSICBRAINZ_ALBUMID").toLower();
        tags.releaseGroupId = first("MUSICBRAINZ_RELEASEGROUPID").toLower();
    } catch (const std::exception&) {
        // A crafted file that exhausts memory has no album facts.
        return {};
    }
    return tags;
}

QString kindForFileName(const QString& path) {
    return tagio::kindForSuffix(tagio::suffixOf(path));
}

int imageFormatOf(const QByteArray& data) {
    if (data.startsWith("\xFF\xD8\xFF"))
        return ITArtworkFormatJPEG;
    if (data.startsWith("\x89PNG"))
        return ITArtworkFormatPNG;
    if (data.startsWith("BM"))
        return ITArtworkFormatBMP;
    return ITArtworkFormatUnknown;
}

QList<Picture> readPictures(const QString& path) {
    return describingFailures(u"Cannot read the artwork of \"%1\": "_s.arg(path), [&] {
        if (!QFileInfo::exists(path))
            throw FileFailure{LibraryError::NotFound, u"the file does not exist."_s};
        const tagio::PictureContainer* container = containerFor(path);
        if (!container)
            throw FileFailure{LibraryError::Unsupported, unsupportedReason(path)};
        return container->readPictures(path);
    });
}

AudioFileFacts changePictures(const QString& path, const PictureChange& change) {
    const QString prefix = change.remove.isEmpty() ? u"Cannot add artwork to \"%1\": "_s.arg(path)
                           : change.insert.isEmpty()
                               ? u"Cannot remove artwork from \"%1\": "_s.arg(path)
                               : u"Cannot change the artwork of \"%1\": "_s.arg(path);
    // Bad input is refused before the file is even copied.
    if (const QString problem = tagio::editProblem({{}, change.insert}, 0); !problem.isEmpty())
        throw LibraryError(LibraryError::InvalidArgument, prefix + problem);
    return applyChange(path, prefix, change);
}

AudioFileFacts appendPicture(const QString& path, const QByteArray& imageData) {
    return changePictures(path, {{}, {{-1, imageData}}});
}

AudioFileFacts removePicture(const QString& path, int index) {
    return changePictures(path, {{index}, {}});
}

} // namespace musiclibrary
