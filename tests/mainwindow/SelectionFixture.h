#pragma once

// A scanned library in memory for the review commands: a fake library whose
// tracks have catalogue records and Eligible rows, built song by song.

#include "catalogue/CatalogueSession.h"
#include "tests/catalogue/FakeLibrary.h"

#include <QString>

#include <cstdint>

namespace selection_testing {

class SessionBuilder {
public:
    SessionBuilder();

    catalogue::CatalogueSession session;
    fake::FakeLibraryPtr library;

    // Adds a library track "Song <index>" with its record (status eligible)
    // and, when listed, an Eligible row (unchecked), in the order of the
    // calls. Returns the catalogue index.
    int32_t add(const QString& album, int32_t pathNode = 1, int32_t artTypes = 2,
                bool listed = true);
    // Adds an Ineligible row for a record that is already there.
    void listIneligible(int32_t index);
    fake::FakeTrackPtr track(int32_t index) const;

    // Row numbers of the Eligible list whose check mark is set.
    QList<int> checkedRows() const;
};

} // namespace selection_testing
