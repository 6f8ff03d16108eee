#include "support/FileAttributes.h"

#include <QFile>

#include <fcntl.h>
#include <linux/msdos_fs.h>
#include <sys/ioctl.h>
#include <sys/vfs.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <array>

namespace support {

namespace {

constexpr long MsdosMagic = 0x4d44;
// ntfs-3g keeps the attributes as a big-endian 32-bit value under this name;
// ntfs3 takes the same name.
constexpr const char* NtfsAttributeName = "system.ntfs_attrib_be";

class Descriptor {
public:
    explicit Descriptor(const QString& path)
        : m_fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW)) {}
    ~Descriptor() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

bool isFat(int fd) {
    struct statfs info {};
    return ::fstatfs(fd, &info) == 0 && info.f_type == MsdosMagic;
}

} // namespace

std::optional<uint32_t> ReadDosAttributes(const QString& path) {
    const Descriptor file(path);
    if (file.get() < 0)
        return std::nullopt;
    if (isFat(file.get())) {
        uint32_t attributes = 0;
        if (::ioctl(file.get(), FAT_IOCTL_GET_ATTRIBUTES, &attributes) == 0)
            return attributes;
        return std::nullopt;
    }
    std::array<unsigned char, 4> value{};
    if (::fgetxattr(file.get(), NtfsAttributeName, value.data(), value.size()) != 4)
        return std::nullopt;
    return uint32_t(value[0]) << 24 | uint32_t(value[1]) << 16 | uint32_t(value[2]) << 8 |
           uint32_t(value[3]);
}

bool SetDosAttributes(const QString& path, uint32_t attributes) {
    const Descriptor file(path);
    if (file.get() < 0)
        return false;
    if (isFat(file.get()))
        return ::ioctl(file.get(), FAT_IOCTL_SET_ATTRIBUTES, &attributes) == 0;
    const std::array<unsigned char, 4> value{
        (unsigned char)(attributes >> 24), (unsigned char)(attributes >> 16),
        (unsigned char)(attributes >> 8), (unsigned char)attributes};
    return ::fsetxattr(file.get(), NtfsAttributeName, value.data(), value.size(), 0) == 0;
}

} // namespace support
