#include "platform/Volumes_posix.h"

#include <fstream>
#include <sstream>

namespace platform {
namespace {

/// A mount table field with its octal escapes (\040 for a blank) undone.
std::string Unescaped(const std::string& field) {
    std::string text;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            text += static_cast<char>(std::stoi(field.substr(i + 1, 3), nullptr, 8));
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
    std::ifstream table("/proc/self/mountinfo");
    return VolumesOfMountTable(table);
}

std::vector<Volume> VolumesOfMountTable(std::istream& table) {
    std::vector<Volume> volumes;
    std::string line;
    while (std::getline(table, line)) {
        // Fields: id parent major:minor root point options [optional...] - type source options
        std::istringstream fields(line);
        std::string id, parent, device, root, point, field;
        if (!(fields >> id >> parent >> device >> root >> point))
            continue;
        Volume volume;
        volume.root = Unescaped(point);
        std::string source;
        while (fields >> field)
            if (field == "-" && fields >> volume.type >> source)
                break;
        volume.network = IsNetworkType(volume.type);
        volume.removable = IsRemovable(volume.root, Unescaped(source), volume.network);
        volumes.push_back(volume);
    }
    return volumes;
}

} // namespace platform
