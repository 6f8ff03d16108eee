#pragma once

// The user's well-known folders, addressed by the shell folder numbers that
// the rest of the program passes around.

#include <QString>

namespace support {

inline constexpr int CSIDL_PERSONAL = 5; // documents
inline constexpr int CSIDL_MYMUSIC = 13;
inline constexpr int CSIDL_LOCAL_APPDATA = 28;
inline constexpr int CSIDL_MYPICTURES = 39;

// The folder's path without a trailing "/", or empty text for a number that
// has no counterpart here. The creation flags that may be or-ed into the
// number (0x8000 and up) are ignored; flags is accepted for the callers'
// sake and unused.
QString GetSpecialFolder(int folderNumber, int flags = 0);

} // namespace support
