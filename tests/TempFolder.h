#pragma once

#include "platform/FileTimes.h"

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <system_error>

namespace test {

/// A path from the program's text: UTF-8 on Windows (where the standard library would read a
/// narrow text in the ANSI code page), bytes elsewhere.
inline std::filesystem::path PathOf(const std::string& text) {
#ifdef _WIN32
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
#else
    return text;
#endif
}

/// A path as the program's text, the reverse of PathOf.
inline std::string TextOf(const std::filesystem::path& path) {
#ifdef _WIN32
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
#else
    return path.string();
#endif
}

/// A fresh folder under the system's temporary folder, removed with everything in it at the end.
class TempFolder {
public:
    TempFolder() {
        std::random_device seed;
        path_ = std::filesystem::temp_directory_path() /
                ("kronalo-test-" + std::to_string(seed()) + std::to_string(seed()));
        std::filesystem::create_directories(path_);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path_, ignored);
    }

    const std::filesystem::path& path() const { return path_; }
    std::string str() const { return TextOf(path_); }

    /// Creates `name` (the program's text) in the folder with `content` and returns its full path.
    std::filesystem::path Write(const std::string& name, const std::string& content = "") const {
        const std::filesystem::path file = path_ / PathOf(name);
        std::ofstream(file, std::ios::binary) << content;
        return file;
    }

private:
    std::filesystem::path path_;
};

/// Makes `folder` the current directory for the lifetime of this object.
class CurrentFolder {
public:
    explicit CurrentFolder(const std::filesystem::path& folder)
        : previous_(std::filesystem::current_path()) {
        std::filesystem::current_path(folder);
    }
    CurrentFolder(const CurrentFolder&) = delete;
    CurrentFolder& operator=(const CurrentFolder&) = delete;
    ~CurrentFolder() { std::filesystem::current_path(previous_); }

private:
    std::filesystem::path previous_;
};

/// Reads a whole file as bytes.
inline std::string ReadAll(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

/// Sets the last-write time of `file` to the Unix time `seconds` plus `milliseconds`, through
/// the platform layer (the standard library rounds to seconds on some systems).
inline void SetLastWrite(const std::filesystem::path& file, long long seconds,
                         int milliseconds = 0) {
    platform::FileTimeChange change;
    change.lastWrite =
        static_cast<platform::FileTime>(static_cast<long long>(platform::kUnixEpochFileTime) +
                                        (seconds * 1000 + milliseconds) * 10000LL);
    bool ignored = false;
    if (const std::error_code error = platform::SetFileTimes(TextOf(file), change, ignored))
        throw std::system_error(error, TextOf(file));
}

} // namespace test
