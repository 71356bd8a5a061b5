#include "platform/RegularFile.h"

#include "platform/Win32_win32.h"

#include <algorithm>

namespace platform {

namespace {

/// Opens `path` for reading; a pipe or a device behind the name is refused, as it would block
/// or never end.
[[nodiscard]] std::error_code OpenForReading(const std::string& path, UniqueHandle& file) {
    file.reset(::CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return LastError();
    if (::GetFileType(file.get()) != FILE_TYPE_DISK)
        return std::make_error_code(std::errc::invalid_argument);
    return {};
}

/// Reads the whole of `file`, but no more than `most` bytes, growing the buffer with what arrives.
[[nodiscard]] std::error_code ReadUpTo(HANDLE file, std::size_t most, std::string& bytes) {
    LARGE_INTEGER size{};
    const std::size_t sizeNow =
        ::GetFileSizeEx(file, &size) ? static_cast<std::size_t>(size.QuadPart) : 0;
    std::string read(std::min(most, std::max<std::size_t>(sizeNow + 1, 4096)), '\0');
    std::size_t got = 0;
    while (got < most) {
        if (got == read.size())
            read.resize(std::min(most, read.size() * 2));
        DWORD n = 0;
        if (!::ReadFile(file, read.data() + got, static_cast<DWORD>(read.size() - got), &n,
                        nullptr))
            return LastError();
        if (n == 0)
            break;
        got += n;
    }
    read.resize(got);
    bytes = std::move(read);
    return {};
}

} // namespace

std::error_code ReadRegularFile(const std::string& path, std::size_t most, std::string& bytes) {
    UniqueHandle file;
    if (const std::error_code error = OpenForReading(path, file))
        return error;
    return ReadUpTo(file.get(), most, bytes);
}

std::error_code ReadOwnFile(const std::string& path, std::size_t most, std::string& bytes) {
    return ReadOwnFileStart(path, most, most, bytes);
}

std::error_code ReadOwnFileStart(const std::string& path, std::size_t most, std::size_t first,
                                 std::string& bytes) {
    UniqueHandle file;
    if (const std::error_code error = OpenForReading(path, file))
        return error;
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(file.get(), &size))
        return LastError();
    if (static_cast<unsigned long long>(size.QuadPart) > most)
        return std::make_error_code(std::errc::file_too_large);
    return ReadUpTo(file.get(), std::min(most, first), bytes);
}

std::error_code RemoveOwnFile(const std::string& path) {
    UniqueHandle file;
    if (const std::error_code error = OpenForReading(path, file))
        return error;
    file.reset();
    if (!::DeleteFileW(Wide(path).c_str()))
        return LastError();
    return {};
}

} // namespace platform
