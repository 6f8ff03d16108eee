#pragma once

// Why a song file could not be read or changed, without the file's name: the
// public entry points put "Cannot add artwork to \"<path>\": " in front, so the
// code that finds a problem does not need to know which call it serves.

#include "musiclibrary/ITunes.h"

#include <QString>

namespace musiclibrary {

struct FileFailure {
    int number = LibraryError::Failed; // a LibraryError::Number
    QString reason;                    // a sentence, ending in "."
};

} // namespace musiclibrary
