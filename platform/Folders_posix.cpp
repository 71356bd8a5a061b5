#include "platform/Folders.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace platform {

std::error_code CurrentFolder(std::string& folder) {
    std::error_code error;
    const std::filesystem::path current = std::filesystem::current_path(error);
    if (!error)
        folder = current.string();
    return error;
}

std::error_code ChangeFolder(const std::string& path) {
    if (::chdir(path.c_str()) != 0)
        return {errno, std::generic_category()};
    return {};
}

bool IsFolder(const std::string& path) {
    struct stat st;
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::error_code FullPath(const std::string& path, std::string& full) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    if (error)
        return error;
    std::string tidy = std::filesystem::weakly_canonical(absolute, error).string();
    if (error)
        return error;
    while (tidy.size() > 1 && tidy.back() == '/')
        tidy.pop_back();
    full = tidy;
    return {};
}

std::error_code CreateFolders(const std::string& path) {
    std::error_code error;
    std::filesystem::create_directories(path, error);
    return error;
}

std::error_code UserStateFolder(std::string& folder) {
    // A relative setting is to be ignored.
    if (const char* state = std::getenv("XDG_STATE_HOME"); state && state[0] == '/') {
        folder = state;
        return {};
    }
    const char* home = std::getenv("HOME");
    if (!home || home[0] != '/')
        return std::make_error_code(std::errc::no_such_file_or_directory);
    folder = std::string(home) + "/.local/state";
    return {};
}

bool CanWriteIn(const std::string& folder) {
    return ::access(folder.c_str(), W_OK | X_OK) == 0;
}

} // namespace platform
