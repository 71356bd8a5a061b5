#include "platform/Volumes.h"

#include "platform/Win32_win32.h"

namespace platform {

std::vector<Volume> MountedVolumes() {
    std::vector<Volume> volumes;
    char drives[512];
    const DWORD n = ::GetLogicalDriveStringsA(sizeof drives, drives);
    for (const char* root = drives; n > 0 && n < sizeof drives && *root;
         root += std::string(root).size() + 1) {
        Volume volume;
        volume.root = root;
        const UINT kind = ::GetDriveTypeA(root);
        volume.removable = kind == DRIVE_REMOVABLE || kind == DRIVE_CDROM;
        volume.network = kind == DRIVE_REMOTE;
        char system[MAX_PATH + 1] = "";
        // An empty drive would be waited for.
        if (!volume.removable && ::GetVolumeInformationA(root, nullptr, 0, nullptr, nullptr,
                                                         nullptr, system, sizeof system))
            volume.type = system;
        volumes.push_back(volume);
    }
    return volumes;
}

} // namespace platform
