#pragma once

// Putting one image into one song: which image (by the priority list of
// sources and, for three of them, by size against a target), what must go to
// make room, and the one write that does it. Runs over many songs build on
// it; it shows the embedding error message itself.

#include "artwork/ArtworkSource.h"
#include "artwork/CandidateImages.h"
#include "artwork/ImageMeasure.h"
#include "catalogue/FolderListing.h"
#include "musiclibrary/ITunes.h"
#include "support/UiServices.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <cstdint>

namespace artwork {

// The choices the Embed Artwork wizard delivers.
struct EmbedParameters {
    // false: a song with downloaded artwork is left alone; true: that art may
    // go to make room for another image.
    bool DeleteDownloaded = false;
    // A song that already holds images: 1 keep them and embed nothing; 2
    // remove them all and embed; 3 add the new image after them.
    int32_t ExistingEmbed = 1;
    int32_t TargetPixels = 320;
};

enum ExistingEmbedChoice : int32_t { ExistingKeep = 1, ExistingReplace = 2, ExistingAdd = 3 };

// What happened to one song, for whoever reports per song.
struct EmbedReport {
    enum class Status { Embedded, Unchanged, Failed };
    Status status = Status::Unchanged;
    QString imagePath; // the image chosen, empty when none
    QString detail;    // why nothing was embedded, or the failure's description
};

QString EmbedStatusWord(EmbedReport::Status status);

// "The following error occurred while trying to embed '<image>' into
// '<song>':" and the description; with the closing sentence for the runs
// that can be stopped from the message.
QString EmbeddingErrorMessage(const QString& imagePath, const QString& songName,
                              const QString& description, bool offerCancel);

class EmbeddingEngine {
public:
    // messages may be nullptr (no message is shown); cancelRequested is the
    // flag that Cancel in the embedding error message sets.
    EmbeddingEngine(support::MessageBoxes* messages, bool* cancelRequested,
                    catalogue::FolderLister lister = catalogue::ListFolderFiles);

    // Shared by the whole program; keeps the wizard's last choice.
    SourceOrder& sourceOrder() { return m_order; }
    const CandidateImages& candidates() const { return m_candidates; }
    ImageMeasureCache& measureCache() { return m_measures; }

    // A new run: folders are listed afresh (images measured before are
    // measured again only when their file changed).
    void beginRun();

    // Refills the candidates: the song's own images, then (with
    // includeFiles) the folder's "*.jpg", "*.jpeg", "*.bmp", "*.png" files
    // in listing order; images that measure 0 are left out.
    void BuildCandidateList(const musiclibrary::TrackPtr& track, int32_t targetPixels,
                            bool includeFiles);

    // True only when an image was embedded. Failures of the write show the
    // embedding error message (OK goes on, Cancel sets the cancel flag).
    bool EmbedTrack2(const musiclibrary::TrackPtr& track, const QString& wmpGuidLcase,
                     const EmbedParameters& parameters, EmbedReport* report = nullptr);
    // Embeds the folder's Folder.jpg; failures show the short error message.
    bool EmbedTrack(const musiclibrary::TrackPtr& track, EmbedReport* report = nullptr);

private:
    const QStringList& namesIn(const QString& folder);
    // Embeds imagePath after removing removePositions, in one write; shows
    // the error message on failure.
    bool embed(const musiclibrary::TrackPtr& track, const QString& imagePath,
               const QList<int>& removePositions, bool offerCancel, EmbedReport& report);

    support::MessageBoxes* m_messages;
    bool* m_cancelRequested;
    catalogue::FolderLister m_lister;
    SourceOrder m_order;
    CandidateImages m_candidates;
    ImageMeasureCache m_measures;
    QHash<QString, QStringList> m_listings;
};

} // namespace artwork
