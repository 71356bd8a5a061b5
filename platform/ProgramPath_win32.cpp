#include "platform/ProgramPath.h"

#include "platform/DirectorySearch.h"
#include "platform/Win32_win32.h"

#include <vector>

namespace platform {

std::error_code ExecutableFolder(std::string& folder) {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD n =
            ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0)
            return LastError();
        if (n < buffer.size()) {
            const std::string path = Narrow(std::wstring_view(buffer.data(), n));
            folder = FolderPartOf(path);
            return {};
        }
        buffer.resize(buffer.size() * 2);
    }
}

} // namespace platform
