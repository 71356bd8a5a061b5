#include "platform/FileSystemKind_posix.h"

#include <cstdio>
#include <map>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>
#include <vector>

namespace platform {
namespace {

constexpr long kFuseMagic = 0x65735546;
constexpr long kNtfsMagic = 0x5346544e;
constexpr long kCifsMagic = 0xFF534D42;
constexpr long kSmb2Magic = 0xFE534D42;

/// The file system type of the mount whose device is `dev`, from /proc/self/mountinfo.
std::string MountType(dev_t dev) {
    std::FILE* table = std::fopen("/proc/self/mountinfo", "re");
    if (!table)
        return {};
    const std::string device = std::to_string(major(dev)) + ":" + std::to_string(minor(dev));
    std::string type;
    char line[4096];
    while (type.empty() && std::fgets(line, sizeof line, table)) {
        // Fields: id parent major:minor root point options [optional...] - type source options
        std::string_view rest(line);
        std::vector<std::string_view> fields;
        while (!rest.empty()) {
            const std::size_t blank = rest.find_first_of(" \n");
            fields.push_back(rest.substr(0, blank));
            rest = blank == std::string_view::npos ? std::string_view() : rest.substr(blank + 1);
        }
        if (fields.size() < 3 || fields[2] != device)
            continue;
        for (std::size_t i = 6; i + 1 < fields.size(); ++i) {
            if (fields[i] == "-") {
                type = fields[i + 1];
                break;
            }
        }
        break;
    }
    std::fclose(table);
    return type;
}

bool IsNtfs3gMountType(const std::string& type) {
    // ntfs-3g registers as fuseblk on a block device and as plain fuse on an image file.
    return type == "fuseblk" || type == "fuse" || type == "fuse.ntfs-3g" ||
           type == "fuse.lowntfs-3g" || type == "fuse.ntfs";
}

} // namespace

FileSystemKind FileSystemOf(int fd) {
    struct statfs fs;
    if (::fstatfs(fd, &fs) != 0)
        return FileSystemKind::Other;
    const long magic = static_cast<long>(static_cast<unsigned int>(fs.f_type));
    if (magic == kCifsMagic || magic == kSmb2Magic)
        return FileSystemKind::Cifs;
    if (magic == kNtfsMagic)
        return FileSystemKind::NtfsKernel;
    if (magic != kFuseMagic)
        return FileSystemKind::Other;

    struct stat st;
    if (::fstat(fd, &st) != 0)
        return FileSystemKind::Other;
    // One folder's entries share a device; the mount table is read once per device.
    static std::map<dev_t, FileSystemKind> known;
    const auto found = known.find(st.st_dev);
    if (found != known.end())
        return found->second;
    const FileSystemKind kind =
        IsNtfs3gMountType(MountType(st.st_dev)) ? FileSystemKind::NtfsFuse : FileSystemKind::Other;
    known.emplace(st.st_dev, kind);
    return kind;
}

const char* AttributeBitsName(FileSystemKind kind) {
    switch (kind) {
    case FileSystemKind::NtfsFuse:
    case FileSystemKind::NtfsKernel:
        return "system.ntfs_attrib";
    case FileSystemKind::Cifs:
        return "user.cifs.dosattrib";
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
    case FileSystemKind::Other:
        break;
    }
    return nullptr;
}

} // namespace platform
