#pragma once

// How long and how much removed artwork the engine keeps for restoring. Both
// live in the user's store under KEY_REMOVED_ARTWORK, written by hand by
// those who want other limits; nothing in the window changes them. A value
// that is absent, unreadable or out of range gives the default, so that a
// typing slip never makes the store keep nothing or grow without bound.

#include <QtGlobal>

namespace support {

inline constexpr int DEFAULT_REMOVED_KEEP_DAYS = 30;
inline constexpr int MIN_REMOVED_KEEP_DAYS = 1;
inline constexpr int MAX_REMOVED_KEEP_DAYS = 3650;

inline constexpr int DEFAULT_REMOVED_MAX_MEGABYTES = 1024;
inline constexpr int MIN_REMOVED_MAX_MEGABYTES = 16;
inline constexpr int MAX_REMOVED_MAX_MEGABYTES = 1024 * 1024;

// "KeepDays": days a removed picture is kept.
int GetRemovedArtworkKeepDays();
// "MaxMegabytes": the most the kept pictures may take, in bytes.
qint64 GetRemovedArtworkMaxBytes();

} // namespace support
