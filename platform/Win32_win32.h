#pragma once

// Internal to the Windows implementation files of this folder.

#include "platform/WideText.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <system_error>

namespace platform {

/// The error the last failed Windows call left.
[[nodiscard]] inline std::error_code LastError() {
    return {static_cast<int>(::GetLastError()), std::system_category()};
}

/// Owns one Windows handle and closes it when it goes out of scope.
class UniqueHandle {
public:
    explicit UniqueHandle(HANDLE handle = INVALID_HANDLE_VALUE) : handle_(handle) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { reset(); }

    explicit operator bool() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    HANDLE get() const { return handle_; }
    HANDLE release() {
        const HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        return handle;
    }
    void reset(HANDLE handle = INVALID_HANDLE_VALUE) {
        if (*this)
            ::CloseHandle(handle_);
        handle_ = handle;
    }

private:
    HANDLE handle_;
};

/// The volume and file index that name the open file or folder wherever it stands.
inline bool Identity(HANDLE entry, std::uint64_t& volume, std::uint64_t& index) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!::GetFileInformationByHandle(entry, &info))
        return false;
    volume = info.dwVolumeSerialNumber;
    index = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    return true;
}

/// A FILETIME as one 64-bit count, and back.
inline unsigned long long Ticks(const FILETIME& time) {
    return (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}
inline FILETIME ToFiletime(unsigned long long ticks) {
    FILETIME time;
    time.dwLowDateTime = static_cast<DWORD>(ticks & 0xFFFFFFFFULL);
    time.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    return time;
}

} // namespace platform
