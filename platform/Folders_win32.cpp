#include "platform/Folders.h"

#include "platform/Win32_win32.h"

#include <shlobj.h>

#include <vector>

namespace platform {
namespace {

/// Without its trailing backslash, except at a drive root such as C:\.
std::string WithoutTrailingSeparator(std::string path) {
    while (path.size() > 3 && (path.back() == '\\' || path.back() == '/'))
        path.pop_back();
    return path;
}

} // namespace

std::error_code CurrentFolder(std::string& folder) {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD n = ::GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
        if (n == 0)
            return LastError();
        if (n < buffer.size()) {
            folder = Narrow(std::wstring_view(buffer.data(), n));
            return {};
        }
        buffer.resize(n + 1);
    }
}

std::error_code ChangeFolder(const std::string& path) {
    if (!::SetCurrentDirectoryW(Wide(path).c_str()))
        return LastError();
    return {};
}

bool IsFolder(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesW(Wide(path).c_str());
    return !path.empty() && attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::error_code FullPath(const std::string& path, std::string& full) {
    std::vector<wchar_t> buffer(MAX_PATH);
    const std::wstring wide = Wide(path);
    for (;;) {
        const DWORD n = ::GetFullPathNameW(wide.c_str(), static_cast<DWORD>(buffer.size()),
                                           buffer.data(), nullptr);
        if (n == 0)
            return LastError();
        if (n < buffer.size()) {
            full = WithoutTrailingSeparator(Narrow(std::wstring_view(buffer.data(), n)));
            return {};
        }
        buffer.resize(n + 1);
    }
}

std::error_code CreateFolders(const std::string& path) {
    // Each folder from the top down; one that is already there is no error.
    for (std::size_t at = path.find_first_of("\\/", 3);; at = path.find_first_of("\\/", at + 1)) {
        const std::string folder = path.substr(0, at);
        if (!folder.empty() && !IsFolder(folder) &&
            !::CreateDirectoryW(Wide(folder).c_str(), nullptr) &&
            ::GetLastError() != ERROR_ALREADY_EXISTS)
            return LastError();
        if (at == std::string::npos)
            return {};
    }
}

std::error_code UserStateFolder(std::string& folder) {
    wchar_t path[MAX_PATH];
    const HRESULT result = ::SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, path);
    if (FAILED(result))
        return {static_cast<int>(result), std::system_category()};
    folder = Narrow(path);
    return {};
}

bool CanWriteIn(const std::string& folder) {
    // Windows grants by its own rules; trying is the one sure way.
    const std::string probe =
        folder + "\\.kronalo-probe-" + std::to_string(::GetCurrentProcessId());
    UniqueHandle file(::CreateFileW(Wide(probe).c_str(), GENERIC_WRITE | DELETE, 0, nullptr,
                                    CREATE_NEW,
                                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    return static_cast<bool>(file);
}

} // namespace platform
