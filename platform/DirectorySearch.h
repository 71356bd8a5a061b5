#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <system_error>

namespace platform {

/// One entry that a search delivers.
struct FoundEntry {
    std::string name;       ///< The entry's name, without any folder.
    bool folder = false;    ///< A folder (a link to one counts as a folder).
    bool hidden = false;    ///< Hidden from listings.
    bool system = false;    ///< Marked as belonging to the operating system.
    bool temporary = false; ///< Marked as a temporary file.
    bool offline = false;   ///< Its data is not available right now.
};

/// The entries of one folder that match a file mask, in the order the file system delivers them.
/// The folder part of the mask is what stands before its last folder separator; a mask without
/// one searches the current folder. A mask without wildcards names exactly that entry, as the file
/// system resolves the name. The entries "." and ".." may be among those delivered.
class DirectorySearch {
public:
    DirectorySearch();
    ~DirectorySearch();
    DirectorySearch(const DirectorySearch&) = delete;
    DirectorySearch& operator=(const DirectorySearch&) = delete;

    /// Starts the search and delivers the first entry. Fails when the folder cannot be read or
    /// nothing matches (no_such_file_or_directory).
    [[nodiscard]] std::error_code First(const std::string& mask, FoundEntry& entry);

    /// As First, for a loop with Next: true where an entry was delivered.
    bool Start(const std::string& mask, FoundEntry& entry) { return !First(mask, entry); }

    /// Delivers the next entry; false at the end.
    bool Next(FoundEntry& entry);

private:
    struct State;
    std::unique_ptr<State> state_;
};

/// The folder separators of this system, the preferred one first.
const char* FolderSeparators();

/// The folder part of `path`: its text up to and including the last folder separator; empty
/// where it has none.
std::string_view FolderPartOf(std::string_view path);

/// True where `path` does not lead from the current folder but from a root: "/" on POSIX systems;
/// a drive letter, a share or a leading separator on Windows.
bool IsAbsolutePath(std::string_view path);

/// `name` inside `folder`: the two joined by the preferred separator, unless `folder` already
/// ends with one (a root folder) or is empty.
std::string JoinPath(std::string_view folder, std::string_view name);

/// The length of `path` as this system's path limits count it: bytes on POSIX systems, UTF-16
/// units of the UTF-8 text on Windows.
std::size_t PathLength(std::string_view path);

/// The longest beginning of `path` no longer than `most` (as PathLength counts), never cutting a
/// character in two.
std::string_view PathPrefix(std::string_view path, std::size_t most);

/// True when two folder paths name the same folder as this system compares names (exactly on
/// POSIX systems, without regard to case on Windows).
bool SameFolderName(std::string_view a, std::string_view b);

} // namespace platform
