#include "platform/Volumes.h"

#include "platform/Win32_win32.h"

namespace platform {

std::vector<Volume> MountedVolumes() {
    std::vector<Volume> volumes;
    wchar_t drives[512];
    const DWORD n = ::GetLogicalDriveStringsW(512, drives);
    for (const wchar_t* root = drives; n > 0 && n < 512 && *root;
         root += std::wstring_view(root).size() + 1) {
        Volume volume;
        volume.root = Narrow(root);
        const UINT kind = ::GetDriveTypeW(root);
        volume.removable = kind == DRIVE_REMOVABLE || kind == DRIVE_CDROM;
        volume.network = kind == DRIVE_REMOTE;
        wchar_t system[MAX_PATH + 1] = L"";
        // An empty drive would be waited for.
        if (!volume.removable && ::GetVolumeInformationW(root, nullptr, 0, nullptr, nullptr,
                                                         nullptr, system, MAX_PATH + 1))
            volume.type = Narrow(system);
        volumes.push_back(volume);
    }
    return volumes;
}

} // namespace platform
