#pragma once

// Kind wording of audio files as desktop players show it, decided from the
// file name, and which files the program gives pictures to: one table for
// the engine, the index and the window. Containers refine the kind where the
// name is not enough (an MP4 that holds Apple Lossless audio, an .ogg file
// that holds Opus).

#include <QString>

namespace musiclibrary::tagio {

inline constexpr const char16_t* KindMpeg = u"MPEG audio file";
inline constexpr const char16_t* KindAac = u"AAC audio file";
inline constexpr const char16_t* KindAppleLossless = u"Apple Lossless audio file";
inline constexpr const char16_t* KindProtectedAac = u"Protected AAC audio file";
inline constexpr const char16_t* KindAiff = u"AIFF audio file";
inline constexpr const char16_t* KindWav = u"WAV audio file";
inline constexpr const char16_t* KindFlac = u"FLAC audio file";
inline constexpr const char16_t* KindOggVorbis = u"Ogg Vorbis audio file";
inline constexpr const char16_t* KindOpus = u"Opus audio file";

// The lower-case extension of a path without the dot ("mp3"), empty if none.
QString suffixOf(const QString& path);

// The kind for an extension, empty when it names no audio file.
QString kindForSuffix(const QString& suffix);

// Whether the runs give pictures to songs with this extension ("mp3"), or of
// this kind (compared without case or outer blanks). WAV files are not
// offered, although the engine reads and writes the pictures of their ID3
// chunk: few players show them.
bool suffixTakesPictures(const QString& suffix);
bool kindTakesPictures(const QString& kind);

} // namespace musiclibrary::tagio
