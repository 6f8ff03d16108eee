#pragma once

// The key that every list row carries, and the ways back from a row to its
// catalogue record and its library track:
//   "&H" high ",&H" low ";" catalogue index ": " song name
// with the persistent-id halves in upper-case hexadecimal without leading
// zeros (a negative half as its eight-digit two's complement).

#include "musiclibrary/ITunes.h"

#include <QString>

#include <cstdint>

namespace catalogue {

class CatalogueSession;
class TrackCatalogue;

// The key from its parts.
QString RowKeyText(int32_t high, int32_t low, int32_t index, const QString& name);

// The key of track as record index; empty for no track. Throws what the
// library throws while reading the ids or the name.
QString MakeRowKey(musiclibrary::IiTunes& library, const musiclibrary::TrackPtr& track,
                   int32_t index);

// The decimal number after the key's first ";", read up to the first
// character that is not part of it; 0 for an empty key or one without ";".
int32_t RowCatalogueIndex(const QString& key);

// The two persistent-id halves of a key; false when the key has no "," or
// either half is not an "&H" number of at most eight digits.
bool RowKeyIds(const QString& key, int32_t& high, int32_t& low);

// The library track of a row's key: none (nullptr) for an empty key, a key
// without ids, a track that no longer exists, or one whose current name is
// not the name the key holds. Never throws.
musiclibrary::TrackPtr RowTrack(musiclibrary::IiTunes& library, const QString& key);

// Item index of the library's tracks, when 1 <= index <= CatalogueCount and
// its current name is the record's Name; otherwise none. Never throws.
musiclibrary::TrackPtr CatalogueTrack(musiclibrary::IiTunes& library,
                                      const TrackCatalogue& catalogue, int32_t index);

// Adds record index as a new row of the Eligible list (counting it in the
// tab counts first) with the given check mark and the key of track: at the
// end, or in its sorted place while the list is kept sorted. A key that
// cannot be made leaves the row without one.
void AddEligibleRow(CatalogueSession& session, int32_t index, const musiclibrary::TrackPtr& track,
                    bool checked);

} // namespace catalogue
