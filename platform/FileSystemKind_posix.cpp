#include "platform/FileSystemKind_posix.h"

#include "platform/MountTable_posix.h"

#include <fcntl.h>
#include <poll.h>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace platform {
namespace {

constexpr long kFuseMagic = 0x65735546;
constexpr long kNtfsMagic = 0x5346544e;
constexpr long kCifsMagic = 0xFF534D42;
constexpr long kSmb2Magic = 0xFE534D42;
constexpr long kMsdosMagic = 0x4d44;
constexpr long kExfatMagic = 0x2011BAB0;

/// The file system type of the mount whose device is `dev`, from the mount table.
std::string MountType(dev_t dev) {
    const std::string table = ReadMountTable();
    const std::string device = std::to_string(major(dev)) + ":" + std::to_string(minor(dev));
    std::string_view rest = table;
    for (std::string_view line; NextMountLine(rest, line);) {
        MountEntry entry;
        if (ParseMountLine(line, entry) && entry.device == device)
            return std::string(entry.type);
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

KindCache& Known() {
    static KindCache known;
    return known;
}

bool MountsChanged() {
    static MountWatch mounts;
    return mounts.Changed();
}

} // namespace

MountWatch::MountWatch() : fd_(::open("/proc/self/mountinfo", O_RDONLY | O_CLOEXEC)) {}

MountWatch::~MountWatch() {
    if (fd_ >= 0)
        ::close(fd_);
}

bool MountWatch::Changed() {
    // The kernel marks an open mountinfo with POLLPRI after every mount or unmount of its
    // namespace and clears the mark for this reader as poll reports it.
    pollfd watched{fd_, POLLPRI, 0};
    const int ready = fd_ < 0 ? -1 : ::poll(&watched, 1, 0);
    return ready < 0 || (ready > 0 && (watched.revents & (POLLPRI | POLLERR)) != 0);
}

std::optional<FileSystemKind> KindCache::Find(dev_t dev, const std::function<bool()>& mountsChanged,
                                              std::uint64_t& generation) {
    const std::lock_guard<std::mutex> hold(lock_);
    if (mountsChanged()) {
        kinds_.clear();
        ++generation_;
    }
    generation = generation_;
    const auto found = kinds_.find(dev);
    return found == kinds_.end() ? std::nullopt : std::optional(found->second);
}

void KindCache::Add(dev_t dev, FileSystemKind kind, std::uint64_t generation) {
    const std::lock_guard<std::mutex> hold(lock_);
    // A kind learnt across a change of the mount table may be the unmounted medium's.
    if (generation == generation_)
        kinds_.emplace(dev, kind);
}

FileSystemKind FileSystemOf(int fd) {
    struct stat st;
    if (::fstat(fd, &st) != 0)
        return FileSystemKind::Other;
    std::uint64_t generation = 0;
    if (const auto known = Known().Find(st.st_dev, MountsChanged, generation))
        return *known;
    struct statfs fs;
    if (::fstatfs(fd, &fs) != 0)
        return FileSystemKind::Other;
    const FileSystemKind kind = KindOf(fs, st.st_dev);
    Known().Add(st.st_dev, kind, generation);
    return kind;
}

FileSystemKind FileSystemOfDevice(dev_t dev, const char* path) {
    std::uint64_t generation = 0;
    if (const auto known = Known().Find(dev, MountsChanged, generation))
        return *known;
    struct statfs fs;
    if (::statfs(path, &fs) != 0)
        return FileSystemKind::Other;
    const FileSystemKind kind = KindOf(fs, dev);
    Known().Add(dev, kind, generation);
    return kind;
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
