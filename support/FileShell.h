#pragma once

// File operations that the Windows shell used to do for the program.

#include "support/UiServices.h"

#include <QString>

namespace support {

enum RecycleResult : int { RecycleGone = 1, RecycleAborted = 2, RecycleFailed = 3 };

// Moves path to the desktop's trash. RecycleGone when the file is gone
// (also when it never existed: nothing is asked or touched then),
// RecycleAborted when confirm is true and the user answers No through boxes,
// RecycleFailed when the file could not be moved. Nothing is ever deleted
// for good: a file on a volume without a trash folder stays where it is.
// whereInTrash, when given, receives where the file went (for putting it
// back when the step it made room for fails).
int RecycleFile(const QString& path, bool confirm = false, MessageBoxes* boxes = nullptr,
                QString* whereInTrash = nullptr);

// Gives the owner write permission to the file at path (trimmed). False for
// an empty path, a path that does not exist or is a folder, or when the
// permission cannot be set; true when the file is writable afterwards.
bool MakeFileWritable(const QString& path);

} // namespace support
