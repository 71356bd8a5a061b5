#include "platform/Volumes_posix.h"

#include "platform/MountTable_posix.h"

namespace platform {
namespace {

/// A mount table field with its octal escapes (\040 for a blank) undone.
std::string Unescaped(std::string_view field) {
    std::string text;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            text += static_cast<char>(std::stoi(std::string(field.substr(i + 1, 3)), nullptr, 8));
            i += 3;
        } else {
            text += field[i];
        }
    }
    return text;
}

bool IsNetworkType(const std::string& type) {
    return type == "cifs" || type == "smb3" || type.rfind("nfs", 0) == 0 || type == "fuse.sshfs";
}

/// Where desktops mount what the user plugs in; /mnt holds other mounts too (a tmpfs, a bind),
/// and only a real volume there counts: a block device or a network share.
bool IsRemovable(const std::string& root, const std::string& source, bool network) {
    for (const char* place : {"/media/", "/run/media/"})
        if (root.rfind(place, 0) == 0)
            return true;
    return root.rfind("/mnt/", 0) == 0 && (network || source.rfind("/dev/", 0) == 0);
}

} // namespace

std::vector<Volume> MountedVolumes() {
    return VolumesOfMountTable(ReadMountTable());
}

std::vector<Volume> VolumesOfMountTable(std::string_view table) {
    std::vector<Volume> volumes;
    for (std::string_view line; NextMountLine(table, line);) {
        MountEntry entry;
        if (!ParseMountLine(line, entry))
            continue;
        Volume volume;
        volume.root = Unescaped(entry.point);
        volume.type = std::string(entry.type);
        volume.network = IsNetworkType(volume.type);
        volume.removable = IsRemovable(volume.root, Unescaped(entry.source), volume.network);
        volumes.push_back(volume);
    }
    return volumes;
}

} // namespace platform
