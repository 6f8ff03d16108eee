#pragma once

// The program-wide state that the main window owns from start-up to
// shutdown: the library connection, the kind list, the view filter, the
// folder tree, the catalogue, the two song lists and their tab counts, and
// the cancel flag that every long run polls.

#include "catalogue/ArtTypes.h"
#include "catalogue/SongList.h"
#include "catalogue/TabCounts.h"
#include "catalogue/TrackCatalogue.h"
#include "musiclibrary/ITunes.h"

#include <QString>

#include <cstdint>
#include <functional>

namespace catalogue {

// Opens the library: returns it, or throws (anything) when it cannot.
using LibraryOpener = std::function<musiclibrary::ITunesPtr()>;

class CatalogueSession {
public:
    CatalogueSession();
    ~CatalogueSession();
    CatalogueSession(const CatalogueSession&) = delete;
    CatalogueSession& operator=(const CatalogueSession&) = delete;

    // Connects to the library and prepares the catalogue side: view filter
    // 255 and a new folder tree (a 0 handle is reported by the first scan).
    // Returns false, changing nothing else, when the library cannot be
    // opened; the caller then shows ConnectionFailureMessage() and ends.
    // When failure is given it receives the reason, for diagnostics.
    bool Init(const LibraryOpener& openLibrary, QString* failure = nullptr);
    // Each scan looks at the library as it is now: the first one after Init
    // uses the library Init opened, every later one opens it again (songs,
    // albums and library file changed since are seen; persistent ids stay, as
    // the engine's index keeps them). On failure the library stays as it was
    // and failure holds the reason.
    bool RefreshLibrary(QString& failure);
    // Frees the tree (handle passed unchecked, then 0), releases the kind
    // list and the library. Safe to call twice.
    void UnInit();

    // The four paragraphs shown when the library cannot be opened.
    static QString ConnectionFailureMessage();

    // ListMain(0) is the Eligible list, ListMain(1) the Ineligible one.
    SongList& ListMain(int tab) { return tab == TAB_INELIGIBLE ? Ineligible : Eligible; }

    musiclibrary::ITunesPtr Library;
    ArtKindList Kinds;
    ArtTypes ViewFilter = ViewFilterDefault;
    int32_t PathNodeTree = 0;
    TrackCatalogue Catalogue;
    SongList Eligible{SongListModel::EligibleList};
    SongList Ineligible{SongListModel::IneligibleList};
    TabCounts Counts;
    bool CancelRequested = false;

private:
    LibraryOpener m_openLibrary;
    bool m_libraryFresh = false;
};

} // namespace catalogue
