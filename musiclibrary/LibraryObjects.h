#pragma once

// The object model over a LibraryState: thin objects made on demand.

#include "musiclibrary/ITunes.h"
#include "musiclibrary/LibraryState.h"

#include <memory>

namespace musiclibrary {

ITunesPtr makeLibraryObject(std::shared_ptr<LibraryState> state);

} // namespace musiclibrary
