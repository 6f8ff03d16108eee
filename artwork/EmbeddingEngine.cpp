#include "artwork/EmbeddingEngine.h"

#include "artwork/ImageCheck.h"
#include "catalogue/CheckedRowRun.h"
#include "catalogue/Discovery.h"
#include "catalogue/PathOps.h"

using namespace Qt::StringLiterals;

namespace artwork {

namespace {

using musiclibrary::LibraryError;
using musiclibrary::TrackPtr;

QString songName(const TrackPtr& track) {
    try {
        return track->Name();
    } catch (...) {
        return {};
    }
}

QString describe(const std::exception& error) {
    if (const auto* libraryError = dynamic_cast<const LibraryError*>(&error))
        return libraryError->description();
    return QString::fromLocal8Bit(error.what());
}

bool hasExtension(const QString& name, const QString& extension) {
    return name.size() > extension.size() + 1 &&
           name.endsWith(u'.' + extension, Qt::CaseInsensitive);
}

} // namespace

QString EmbedStatusWord(EmbedReport::Status status) {
    switch (status) {
    case EmbedReport::Status::Embedded:
        return u"embedded"_s;
    case EmbedReport::Status::Failed:
        return u"failed"_s;
    case EmbedReport::Status::Unchanged:
        break;
    }
    return u"unchanged"_s;
}

QString EmbeddingErrorMessage(const QString& imagePath, const QString& songName,
                              const QString& description, bool offerCancel) {
    QStringList paragraphs{u"The following error occurred while trying to embed '"_s + imagePath +
                               u"' into '"_s + songName + u"':"_s,
                           description};
    if (offerCancel)
        paragraphs.append(u"Choose OK to continue, or Cancel to stop further embedding."_s);
    return catalogue::Paragraphs(paragraphs);
}

EmbeddingEngine::EmbeddingEngine(support::MessageBoxes* messages, bool* cancelRequested,
                                 catalogue::FolderLister lister)
    : m_messages(messages), m_cancelRequested(cancelRequested), m_lister(std::move(lister)) {}

void EmbeddingEngine::beginRun() {
    m_listings.clear();
}

const QStringList& EmbeddingEngine::namesIn(const QString& folder) {
    auto found = m_listings.find(folder);
    if (found == m_listings.end())
        found = m_listings.insert(folder, m_lister(folder));
    return *found;
}

void EmbeddingEngine::BuildCandidateList(const TrackPtr& track, int32_t targetPixels,
                                         bool includeFiles) {
    m_candidates.clear();
    if (!track)
        return;
    QList<QByteArray> own;
    try {
        own = track->ArtworkData();
    } catch (...) {
        // Images that cannot be read measure 0: the folder's files still count.
    }
    for (qsizetype i = 0; i < own.size(); ++i) {
        const int32_t xyprod = GetArtworkXyprod(own[i]);
        if (xyprod > 0)
            m_candidates.add(QString::number(i + 1), false, xyprod, targetPixels);
    }
    if (!includeFiles)
        return;
    const QString folder = catalogue::FolderOfPath(catalogue::TrackLocation(track));
    if (folder.isEmpty())
        return;
    const QStringList& names = namesIn(folder);
    for (const QString& extension : {u"jpg"_s, u"jpeg"_s, u"bmp"_s, u"png"_s}) {
        for (const QString& name : names) {
            if (!hasExtension(name, extension))
                continue;
            const QString path = folder + name;
            const int32_t xyprod = m_measures.fileXyprod(path);
            if (xyprod > 0)
                m_candidates.add(path, true, xyprod, targetPixels);
        }
    }
}

bool EmbeddingEngine::EmbedTrack2(const TrackPtr& track, const QString& wmpGuidLcase,
                                  const EmbedParameters& parameters, EmbedReport* reportOut) {
    EmbedReport local;
    EmbedReport& report = reportOut ? *reportOut : local;
    report = {};
    if (!track) {
        report.detail = u"the song can no longer be found"_s;
        return false;
    }
    const bool hasDownloaded = catalogue::FirstArtworkIsDownloaded(track);
    if (hasDownloaded && !parameters.DeleteDownloaded) {
        report.detail = u"the song has artwork downloaded by iTunes"_s;
        return false;
    }
    const QString folder = catalogue::FolderOfPath(catalogue::TrackLocation(track));
    int count = 0;
    try {
        count = track->Artwork()->Count();
    } catch (...) {
        // Pictures that cannot be counted are none here; if a folder image
        // is chosen, the write says what is wrong with the file.
    }
    const bool hasEmbedded = count >= 1 && !hasDownloaded;
    if (hasEmbedded && parameters.ExistingEmbed == ExistingKeep) {
        report.detail = u"the song already has embedded artwork"_s;
        return false;
    }

    int32_t chosen = 0;
    int32_t candidate = -1;
    QString path;
    bool candidatesBuilt = false;
    for (int slot = 1; slot <= SourceCount && !chosen; ++slot) {
        const int32_t source = m_order.slot(slot);
        if (!IsArtworkSource(source))
            break;
        if (IsSizeSource(source)) {
            if (count < 1)
                continue;
            if (!candidatesBuilt) {
                BuildCandidateList(track, parameters.TargetPixels, true);
                candidatesBuilt = true;
            }
            const int32_t index = source == SourceClosest    ? m_candidates.ClosestCandidate()
                                  : source == SourceSmallest ? m_candidates.SmallestCandidate()
                                                             : m_candidates.LargestCandidate();
            if (index >= 1) {
                chosen = source;
                candidate = index;
                path = m_candidates[index].Path;
            }
        } else if (source == SourceDownloaded) {
            if (hasDownloaded)
                chosen = source;
        } else if (!folder.isEmpty()) {
            const QString name =
                catalogue::FindNamedFile(namesIn(folder), SourceFileName(source, wmpGuidLcase));
            if (!name.isEmpty() && catalogue::PathExists(folder + name)) {
                chosen = source;
                path = folder + name;
            }
        }
    }
    if (!chosen) {
        report.detail = u"no image to embed was found"_s;
        return false;
    }
    const bool ownImage = candidate >= 1 && !m_candidates[candidate].IsFile;
    QList<int> remove;
    if (hasDownloaded) {
        if (chosen == SourceDownloaded) {
            report.detail = u"the song keeps its downloaded artwork"_s;
            return false;
        }
        if (ownImage) {
            report.detail = u"its downloaded artwork is the best image"_s;
            return false;
        }
        remove.append(1);
    }
    if (hasEmbedded) {
        if (ownImage) {
            report.detail = u"an image of the song's own is the best image"_s;
            return false;
        }
        if (parameters.ExistingEmbed == ExistingReplace)
            for (int position = 1; position <= count; ++position)
                remove.append(position);
    }
    return embed(track, path, remove, true, report);
}

bool EmbeddingEngine::EmbedTrack(const TrackPtr& track, EmbedReport* reportOut) {
    EmbedReport local;
    EmbedReport& report = reportOut ? *reportOut : local;
    report = {};
    if (!track) {
        report.detail = u"the song can no longer be found"_s;
        return false;
    }
    const QString folder = catalogue::FolderOfPath(catalogue::TrackLocation(track));
    const QString name = catalogue::FindNamedFile(namesIn(folder), u"Folder.jpg"_s);
    return embed(track, folder + (name.isEmpty() ? u"Folder.jpg"_s : name), {}, false, report);
}

bool EmbeddingEngine::embed(const TrackPtr& track, const QString& imagePath,
                            const QList<int>& removePositions, bool offerCancel,
                            EmbedReport& report) {
    report.imagePath = imagePath;
    try {
        // The image is checked before the song is touched: what goes into a
        // song stays there.
        if (const QString problem = ImageFileProblem(imagePath); !problem.isEmpty())
            throw LibraryError(LibraryError::InvalidArgument, problem);
        track->EditArtwork({removePositions, {imagePath}});
        report.status = EmbedReport::Status::Embedded;
        return true;
    } catch (const std::exception& error) {
        report.status = EmbedReport::Status::Failed;
        report.detail = describe(error);
    }
    if (m_messages) {
        const int answer = m_messages->show(
            EmbeddingErrorMessage(imagePath, songName(track), report.detail, offerCancel),
            QString(), offerCancel ? support::MbOkCancel : support::MbOk, support::MbExclamation);
        if (offerCancel && answer == support::IdCancel && m_cancelRequested)
            *m_cancelRequested = true;
    }
    return false;
}

} // namespace artwork
