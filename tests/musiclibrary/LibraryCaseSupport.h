#pragma once

// SQL run on a closed library's database the way someone editing or
// damaging it would.

#include "tests/musiclibrary/AudioFileTestFiles.h"
#include "tests/musiclibrary/LibraryTestSupport.h"

#include <string>

namespace testing_support {

void runSql(const QString& databasePath, const std::string& sql);

} // namespace testing_support
