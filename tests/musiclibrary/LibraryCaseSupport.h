#pragma once

// Steps that several library-layer cases share: the one track of a small
// library, seed bytes to compare with, and SQL run on a closed library's
// database the way someone editing or damaging it would.

#include "tests/musiclibrary/LibraryTestSupport.h"

#include <string>

namespace testing_support {

// The library's only track; a failure when it holds another number.
musiclibrary::TrackPtr onlyTrack(const musiclibrary::ITunesPtr& library);

QByteArray seedBytes(const QString& name);

void runSql(const QString& databasePath, const std::string& sql);

} // namespace testing_support
