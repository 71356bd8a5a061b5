#include "platform/RegularFile.h"

#include "platform/Win32_win32.h"

namespace platform {

std::error_code ReadRegularFile(const std::string& path, std::size_t most, std::string& bytes) {
    UniqueHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return LastError();
    // A pipe or a device behind the name would block or never end.
    if (::GetFileType(file.get()) != FILE_TYPE_DISK)
        return std::make_error_code(std::errc::invalid_argument);
    std::string read(most, '\0');
    std::size_t got = 0;
    while (got < most) {
        DWORD n = 0;
        if (!::ReadFile(file.get(), read.data() + got, static_cast<DWORD>(most - got), &n, nullptr))
            return LastError();
        if (n == 0)
            break;
        got += n;
    }
    read.resize(got);
    bytes = std::move(read);
    return {};
}

} // namespace platform
