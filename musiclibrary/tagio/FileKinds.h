#pragma once

// Kind wording of audio files as desktop players show it, decided from the
// file name. Containers refine it where the name is not enough (an MP4 that
// holds Apple Lossless audio).

#include <QString>

namespace musiclibrary::tagio {

inline constexpr const char16_t* KindMpeg = u"MPEG audio file";
inline constexpr const char16_t* KindAac = u"AAC audio file";
inline constexpr const char16_t* KindAppleLossless = u"Apple Lossless audio file";
inline constexpr const char16_t* KindProtectedAac = u"Protected AAC audio file";
inline constexpr const char16_t* KindAiff = u"AIFF audio file";
inline constexpr const char16_t* KindWav = u"WAV audio file";

// The lower-case extension of a path without the dot ("mp3"), empty if none.
QString suffixOf(const QString& path);

// The kind for an extension, empty when it names no audio file.
QString kindForSuffix(const QString& suffix);

} // namespace musiclibrary::tagio
