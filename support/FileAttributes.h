#pragma once

// The hidden and system attributes of files on the file systems that have
// them: FAT (through its attribute ioctl) and NTFS mounted with ntfs-3g or
// the kernel's ntfs3 (through their attribute extended attribute).
// Elsewhere a file has no such attributes: nothing is read, nothing is set,
// and nothing fails.

#include <QString>

#include <cstdint>
#include <optional>

namespace support {

enum DosAttribute : uint32_t {
    AttributeReadOnly = 0x01,
    AttributeHidden = 0x02,
    AttributeSystem = 0x04,
    AttributeArchive = 0x20,
};

// The attributes of the file, or none where the file system has none (or
// the file cannot be read).
std::optional<uint32_t> ReadDosAttributes(const QString& path);
// Sets exactly attributes. True when they were set; false where the file
// system has none or refuses (the caller carries on either way).
bool SetDosAttributes(const QString& path, uint32_t attributes);

} // namespace support
