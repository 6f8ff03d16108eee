// Downloaded artwork: one image per track, held in the engine's data folder
// as "downloaded/<persistent id in hex>.<ext>" rather than in the song file.

#include "musiclibrary/LibraryState.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>

namespace musiclibrary {

using namespace Qt::StringLiterals;

namespace {

QString extensionOf(int format) {
    switch (format) {
    case ITArtworkFormatJPEG:
        return u"jpg"_s;
    case ITArtworkFormatPNG:
        return u"png"_s;
    case ITArtworkFormatBMP:
        return u"bmp"_s;
    default:
        return {};
    }
}

int formatOfExtension(const QString& extension) {
    for (int format : {ITArtworkFormatJPEG, ITArtworkFormatPNG, ITArtworkFormatBMP})
        if (extensionOf(format) == extension)
            return format;
    return ITArtworkFormatUnknown;
}

// Names that the engine itself writes; anything else in the folder, or an
// index row naming another place, is not trusted.
const QRegularExpression& storedNamePattern() {
    static const QRegularExpression pattern(u"^([0-9A-F]{16})\\.(jpg|png|bmp)$"_s);
    return pattern;
}

} // namespace

QString LibraryState::downloadedFolder() const {
    return m_dataFolder + u"/downloaded"_s;
}

const DownloadedArt* LibraryState::downloadedArt(int track) const {
    const auto found = m_downloads.constFind(m_tracks[size_t(track)].persistentId);
    return found == m_downloads.cend() ? nullptr : &*found;
}

void LibraryState::loadDownloads() {
    const QString folder = downloadedFolder();
    if (m_index && !m_index->startedEmpty()) {
        for (const IndexedDownload& row : m_index->loadDownloads()) {
            const QRegularExpressionMatch match = storedNamePattern().match(row.fileName);
            const QString path = folder + u'/' + row.fileName;
            const FileStamp stamp = statFile(path);
            if (match.hasMatch() && stamp.isValid())
                m_downloads.insert(row.persistentId, {path, formatOfExtension(match.captured(2)),
                                                      stamp.size, newSlot()});
        }
        return;
    }
    // A new or rebuilt index: the stored images themselves say which tracks
    // have downloaded artwork.
    const QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString& name : names) {
        const QRegularExpressionMatch match = storedNamePattern().match(name);
        const FileStamp stamp = statFile(folder + u'/' + name);
        if (!match.hasMatch() || !stamp.isValid())
            continue;
        const quint64 id = match.captured(1).toULongLong(nullptr, 16);
        const int format = formatOfExtension(match.captured(2));
        m_downloads.insert(id, {folder + u'/' + name, format, stamp.size, newSlot()});
        if (m_index)
            m_index->storeDownload({id, name, format, stamp.size});
    }
}

void LibraryState::setDownloadedArtwork(int track, const QString& imagePath) {
    const QByteArray image = readImageFile(imagePath);
    // The image it replaces is kept first, as removed art is.
    qint64 journalled = 0;
    if (const DownloadedArt* old = downloadedArt(track))
        journalled = journalDownloaded(track, *old);
    try {
        storeDownloadedImage(track, image, imagePath);
    } catch (...) {
        forgetJournalled(journalled);
        throw;
    }
}

void LibraryState::storeDownloadedImage(int track, const QByteArray& image, const QString& source) {
    const TrackEntry& entry = m_tracks[size_t(track)];
    const int format = imageFormatOf(image);
    const QString extension = extensionOf(format);
    if (extension.isEmpty())
        throw LibraryError(LibraryError::InvalidArgument,
                           u"The image file \"%1\" is not a JPEG, PNG or BMP image."_s.arg(source));
    const QString folder = downloadedFolder();
    const QString name = persistentIdHex(entry.persistentId) + u'.' + extension;
    const QString path = folder + u'/' + name;
    QDir().mkpath(folder);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(image) != image.size() || !file.commit())
        throw LibraryError(LibraryError::WriteFailed,
                           u"Cannot store the downloaded artwork of \"%1\" as \"%2\": %3."_s.arg(
                               entry.name, path, file.errorString()));
    if (const DownloadedArt* old = downloadedArt(track); old && old->filePath != path)
        QFile::remove(old->filePath);
    m_downloads.insert(entry.persistentId, {path, format, qint64(image.size()), newSlot()});
    if (m_index)
        m_index->storeDownload({entry.persistentId, name, format, qint64(image.size())});
}

void LibraryState::removeDownloadedArtwork(int track, Journal journal) {
    const DownloadedArt* art = downloadedArt(track);
    if (!art)
        return;
    QFile file(art->filePath);
    const qint64 journalled =
        journal == Journal::None || !file.exists() ? 0 : journalDownloaded(track, *art);
    if (file.exists() && !file.remove()) {
        forgetJournalled(journalled);
        throw LibraryError(LibraryError::WriteFailed,
                           u"Cannot remove the downloaded artwork \"%1\": %2."_s.arg(
                               art->filePath, file.errorString()));
    }
    const quint64 id = m_tracks[size_t(track)].persistentId;
    m_downloads.remove(id);
    if (m_index)
        m_index->removeDownload(id);
}

} // namespace musiclibrary
