#include "platform/HeldFile.h"

#include "platform/DirectorySearch.h"
#include "platform/Win32_win32.h"

#include <algorithm>
#include <vector>

namespace platform {
namespace {

HANDLE Handle(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

/// Renames the open file to `path`, replacing what is there, by its handle: the name is moved
/// only for the very file that was written.
[[nodiscard]] std::error_code RenameOpenFile(HANDLE file, const std::string& path) {
    const std::wstring wide = Wide(path);
    std::vector<char> buffer(sizeof(FILE_RENAME_INFO) + (wide.size() + 1) * sizeof(WCHAR));
    auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    info->ReplaceIfExists = TRUE;
    info->RootDirectory = nullptr;
    info->FileNameLength = static_cast<DWORD>(wide.size() * sizeof(WCHAR));
    std::copy(wide.begin(), wide.end(), info->FileName);
    info->FileName[wide.size()] = L'\0';
    if (!::SetFileInformationByHandle(file, FileRenameInfo, info,
                                      static_cast<DWORD>(buffer.size())))
        return LastError();
    return {};
}

[[nodiscard]] std::error_code WriteAll(HANDLE file, std::string_view bytes) {
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        DWORD written = 0;
        const DWORD chunk = left > 1u << 20 ? 1u << 20 : static_cast<DWORD>(left);
        if (!::WriteFile(file, p, chunk, &written, nullptr))
            return LastError();
        p += written;
        left -= written;
    }
    return {};
}

/// Marks the open file for deletion; it goes when its last handle is closed.
bool DeleteOpenFile(HANDLE file) {
    FILE_DISPOSITION_INFO info{};
    info.DeleteFile = TRUE;
    return ::SetFileInformationByHandle(file, FileDispositionInfo, &info, sizeof info);
}

} // namespace

HeldFile::~HeldFile() {
    Close();
}

void HeldFile::Close() {
    if (handle_ != kNone)
        ::CloseHandle(Handle(handle_));
    handle_ = kNone;
}

std::error_code HeldFile::Write(const std::string& path, std::string_view bytes, bool flushed) {
    Close();
    path_ = path;
    access_ = path;
    const std::string folder(FolderPartOf(path));

    UniqueHandle file;
    std::string temporary;
    for (unsigned attempt = 0; attempt < 100 && !file; ++attempt) {
        temporary = folder + ".kronalo-" + std::to_string(::GetCurrentProcessId()) + "-" +
                    std::to_string(attempt) + ".tmp";
        // CREATE_NEW never opens what is already there, a planted link included.
        file.reset(::CreateFileW(Wide(temporary).c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0,
                                 nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file && ::GetLastError() != ERROR_FILE_EXISTS)
            return LastError();
    }
    if (!file)
        return LastError();
    std::error_code error = WriteAll(file.get(), bytes);
    if (!error && flushed && !::FlushFileBuffers(file.get()))
        error = LastError();
    if (!error)
        error = RenameOpenFile(file.get(), path);
    if (!error && !Identity(file.get(), device_, number_))
        error = LastError();
    if (error) {
        DeleteOpenFile(file.get());
        return error;
    }
    file.reset();

    // Held for reading and shared for reading only: while it is held, nobody writes, renames or
    // deletes it, and the console can still read it. Between the two handles someone may have
    // put another file at the name; that one is never run.
    UniqueHandle held(::CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    std::uint64_t volume = 0, index = 0;
    if (!held)
        return LastError();
    if (!Identity(held.get(), volume, index) || volume != device_ || index != number_)
        return std::make_error_code(std::errc::device_or_resource_busy);
    handle_ = reinterpret_cast<std::intptr_t>(held.release());
    return {};
}

std::error_code HeldFile::Remove() {
    if (handle_ == kNone)
        return {};
    Close();
    UniqueHandle file(::CreateFileW(Wide(access_).c_str(), DELETE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return {};
        return LastError();
    }
    std::uint64_t volume = 0, index = 0;
    if (!Identity(file.get(), volume, index))
        return LastError();
    // A name that now leads to another file is that file's owner's.
    if (volume != device_ || index != number_)
        return {};
    if (!DeleteOpenFile(file.get()))
        return LastError();
    return {};
}

} // namespace platform
