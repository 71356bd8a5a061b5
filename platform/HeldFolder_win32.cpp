#include "platform/HeldFolder.h"

#include "platform/Win32_win32.h"

namespace platform {
namespace {

HANDLE OpenFolder(const std::string& path, DWORD share) {
    // A handle that may only read attributes takes no part in sharing: it must be able to list
    // the folder for its share mode to keep the folder from being renamed or removed.
    return ::CreateFileW(Wide(path).c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES, share,
                         nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

} // namespace

HeldFolder::~HeldFolder() {
    if (handle_ != kNone)
        ::CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

std::error_code HeldFolder::Hold(const std::string& path) {
    // Not shared for deletion: while it is held, nobody renames or removes the folder.
    UniqueHandle folder(OpenFolder(path, FILE_SHARE_READ | FILE_SHARE_WRITE));
    if (!folder)
        return LastError();
    std::uint64_t volume = 0, index = 0;
    if (!Identity(folder.get(), volume, index))
        return LastError();
    if (handle_ != kNone)
        ::CloseHandle(reinterpret_cast<HANDLE>(handle_));
    handle_ = reinterpret_cast<std::intptr_t>(folder.release());
    path_ = path;
    device_ = volume;
    number_ = index;
    return {};
}

std::string HeldFolder::Inside(std::string_view name) const {
    // A drive root keeps its own backslash too: the system takes the two as one.
    return name.empty() ? path_ : path_ + "\\" + std::string(name);
}

bool HeldFolder::Is(const std::string& path) const {
    UniqueHandle folder(OpenFolder(path, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE));
    std::uint64_t volume = 0, index = 0;
    return folder && Identity(folder.get(), volume, index) && volume == device_ && index == number_;
}

std::string HeldFolder::WhereNow() const {
    // A held folder does not move here.
    return path_;
}

} // namespace platform
