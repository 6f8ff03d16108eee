#pragma once

// The program's own per-user folder, where temporary images, the library
// index and the demonstration library live.

#include <QString>

namespace support {

// GenericDataLocation + "/Tarnwick/Quillmoth/", with a trailing "/". Created
// with its parents on the first call; when that fails, the generic data folder
// itself (trailing "/") is used instead. Computed once per run.
QString AppDataFolder();

// The folder AppDataFolder() would choose below baseFolder, creating it.
// Exposed so that the fallback can be exercised without touching the user's
// real data folder.
QString AppDataFolderBelow(const QString& baseFolder);

// Forgets the remembered folder so that the next AppDataFolder() computes it
// again (tests switch QStandardPaths to test mode or change XDG_DATA_HOME).
void ResetAppDataFolder();

} // namespace support
