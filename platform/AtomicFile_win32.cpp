#include "platform/AtomicFile.h"

#include "platform/Win32_win32.h"

#include <string>

namespace platform {

std::error_code ReplaceFileAtomically(const std::string& path, std::string_view bytes,
                                      WriteStage& stage) {
    const std::size_t separator = path.find_last_of("\\/");
    const std::string folder =
        separator == std::string::npos ? std::string() : path.substr(0, separator + 1);

    stage = WriteStage::Create;
    std::string temporary;
    UniqueHandle file;
    for (unsigned attempt = 0; attempt < 100 && !file; ++attempt) {
        temporary = folder + ".kronalo-" + std::to_string(::GetCurrentProcessId()) + "-" +
                    std::to_string(attempt) + ".tmp";
        // CREATE_NEW never opens what is already there, a planted link included.
        file.reset(::CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file && ::GetLastError() != ERROR_FILE_EXISTS)
            return LastError();
    }
    if (!file)
        return LastError();

    stage = WriteStage::Write;
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        DWORD written = 0;
        const DWORD chunk = left > 1u << 20 ? 1u << 20 : static_cast<DWORD>(left);
        if (!::WriteFile(file.get(), p, chunk, &written, nullptr)) {
            const std::error_code error = LastError();
            file.reset();
            ::DeleteFileA(temporary.c_str());
            return error;
        }
        p += written;
        left -= written;
    }
    file.reset();
    if (!::MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        const std::error_code error = LastError();
        ::DeleteFileA(temporary.c_str());
        return error;
    }
    return {};
}

std::error_code RemoveFile(const std::string& path) {
    if (!::DeleteFileA(path.c_str()))
        return LastError();
    return {};
}

} // namespace platform
