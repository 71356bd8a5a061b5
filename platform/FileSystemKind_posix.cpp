#include "platform/FileSystemKind_posix.h"

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>

namespace platform {
namespace {

constexpr long kFuseMagic = 0x65735546;
constexpr long kNtfsMagic = 0x5346544e;
constexpr long kCifsMagic = 0xFF534D42;
constexpr long kSmb2Magic = 0xFE534D42;
constexpr long kMsdosMagic = 0x4d44;
constexpr long kExfatMagic = 0x2011BAB0;

/// The file system type of the mount whose device is `dev`, from /proc/self/mountinfo.
std::string MountType(dev_t dev) {
    std::ifstream table("/proc/self/mountinfo");
    const std::string device = std::to_string(major(dev)) + ":" + std::to_string(minor(dev));
    std::string line;
    while (std::getline(table, line)) {
        // Fields: id parent major:minor root point options [optional...] - type source options
        std::istringstream fields(line);
        std::string id, parent, number, field;
        if (!(fields >> id >> parent >> number) || number != device)
            continue;
        while (fields >> field)
            if (field == "-" && fields >> field)
                return field;
        return {};
    }
    return {};
}

bool IsNtfs3gMountType(const std::string& type) {
    // ntfs-3g registers as fuseblk on a block device and as plain fuse on an image file.
    return type == "fuseblk" || type == "fuse" || type == "fuse.ntfs-3g" ||
           type == "fuse.lowntfs-3g" || type == "fuse.ntfs";
}

bool IsFatMountType(const std::string& type) {
    return type == "fuse.fusefat" || type == "fuse.exfat" || type == "fuse.exfat-fuse";
}

FileSystemKind KindOf(const struct statfs& fs, dev_t dev) {
    const long magic = static_cast<long>(static_cast<unsigned int>(fs.f_type));
    if (magic == kCifsMagic || magic == kSmb2Magic)
        return FileSystemKind::Cifs;
    if (magic == kNtfsMagic)
        return FileSystemKind::NtfsKernel;
    if (magic == kMsdosMagic || magic == kExfatMagic)
        return FileSystemKind::Fat;
    if (magic != kFuseMagic)
        return FileSystemKind::Other;
    // A FUSE file system tells its kind only in the mount table.
    const std::string type = MountType(dev);
    return IsNtfs3gMountType(type) ? FileSystemKind::NtfsFuse
           : IsFatMountType(type)  ? FileSystemKind::Fat
                                   : FileSystemKind::Other;
}

/// The kinds learnt so far, by device.
std::map<dev_t, FileSystemKind>& Known() {
    static std::map<dev_t, FileSystemKind> known;
    return known;
}

} // namespace

FileSystemKind FileSystemOf(int fd) {
    struct stat st;
    if (::fstat(fd, &st) != 0)
        return FileSystemKind::Other;
    const auto found = Known().find(st.st_dev);
    if (found != Known().end())
        return found->second;
    struct statfs fs;
    if (::fstatfs(fd, &fs) != 0)
        return FileSystemKind::Other;
    return Known().emplace(st.st_dev, KindOf(fs, st.st_dev)).first->second;
}

FileSystemKind FileSystemOfDevice(dev_t dev, const char* path) {
    const auto found = Known().find(dev);
    if (found != Known().end())
        return found->second;
    struct statfs fs;
    if (::statfs(path, &fs) != 0)
        return FileSystemKind::Other;
    return Known().emplace(dev, KindOf(fs, dev)).first->second;
}

const char* AttributeBitsName(FileSystemKind kind) {
    switch (kind) {
    case FileSystemKind::NtfsFuse:
    case FileSystemKind::NtfsKernel:
        return "system.ntfs_attrib";
    case FileSystemKind::Cifs:
        return "user.cifs.dosattrib";
    case FileSystemKind::Fat:
    case FileSystemKind::Other:
        break;
    }
    return nullptr;
}

const char* CreationTimeName(FileSystemKind kind) {
    switch (kind) {
    case FileSystemKind::NtfsFuse:
        return "system.ntfs_crtime";
    case FileSystemKind::Cifs:
        return "user.cifs.creationtime";
    case FileSystemKind::NtfsKernel: // Only an ordinary attribute of that name would be stored.
    case FileSystemKind::Fat:
    case FileSystemKind::Other:
        break;
    }
    return nullptr;
}

} // namespace platform
