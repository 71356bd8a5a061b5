#include "platform/DirectorySearch.h"

#include "platform/AtPath_posix.h"
#include "platform/DosAttributes_posix.h"
#include "platform/Wildcard.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace platform {

struct DirectorySearch::State {
    DIR* dir = nullptr;
    std::string folder; // As the entries' paths begin; empty for the current folder.
    std::string pattern;
    bool single = false; // A mask without wildcards has delivered its one entry.
    DosAttributeReader attributes;

    ~State() {
        if (dir)
            ::closedir(dir);
    }
};

DirectorySearch::DirectorySearch() : state_(std::make_unique<State>()) {}
DirectorySearch::~DirectorySearch() = default;

const char* FolderSeparators() {
    return "/";
}

bool IsAbsolutePath(std::string_view path) {
    return path.starts_with('/');
}

std::size_t PathLength(std::string_view path) {
    return path.size();
}

std::string_view PathPrefix(std::string_view path, std::size_t most) {
    return path.substr(0, most);
}

bool SameFolderName(std::string_view a, std::string_view b) {
    return a == b;
}

namespace {

void Describe(const std::string& folder, const char* name, bool isFolder,
              const DosAttributeReader& attributes, FoundEntry& entry) {
    entry = FoundEntry{};
    entry.name = name;
    entry.folder = isFolder;
    entry.hidden = name[0] == '.';
    DosAttributes dos;
    if (attributes.Active() && attributes.Read(folder + name, dos)) {
        entry.hidden = entry.hidden || dos.hidden;
        entry.system = dos.system;
        entry.temporary = dos.temporary;
        entry.offline = dos.offline;
    }
}

} // namespace

std::error_code DirectorySearch::First(const std::string& mask, FoundEntry& entry) {
    state_ = std::make_unique<State>();
    state_->folder = FolderPartOf(mask);
    state_->pattern = mask.substr(state_->folder.size());
    if (state_->pattern.empty())
        return std::make_error_code(std::errc::no_such_file_or_directory);

    if (!HasWildcards(state_->pattern)) {
        // The entry as the file system resolves the name; a dangling link still exists. No
        // folder is opened for one name: the engine looks up every target this way.
        const std::string path = state_->folder + state_->pattern;
        struct stat st;
        bool isFolder = false;
        const AtPath at = AtPathOf(path);
        // The entry itself first: one call for a file or for no entry at all, the common cases;
        // a link is followed, and counts as a file where it leads nowhere.
        if (::fstatat(at.folder, at.name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            return {errno, std::generic_category()};
        if (S_ISLNK(st.st_mode)) {
            struct stat target;
            if (::fstatat(at.folder, at.name, &target, 0) == 0)
                st = target;
        }
        isFolder = S_ISDIR(st.st_mode);
        state_->attributes.Prepare(FileSystemOfDevice(st.st_dev, path.c_str()));
        state_->single = true;
        Describe(state_->folder, state_->pattern.c_str(), isFolder, state_->attributes, entry);
        return {};
    }

    const std::string opened = state_->folder.empty() ? "." : state_->folder;
    state_->dir = ::opendir(opened.c_str());
    if (!state_->dir)
        return {errno, std::generic_category()};
    state_->attributes.Prepare(FileSystemOf(::dirfd(state_->dir)));
    if (Next(entry))
        return {};
    return std::make_error_code(std::errc::no_such_file_or_directory);
}

bool DirectorySearch::Next(FoundEntry& entry) {
    if (!state_->dir || state_->single)
        return false;
    while (const dirent* d = ::readdir(state_->dir)) {
        if (!WildcardMatch(state_->pattern, d->d_name))
            continue;
        bool isFolder = d->d_type == DT_DIR;
        if (d->d_type == DT_UNKNOWN || d->d_type == DT_LNK) {
            struct stat st;
            // A link counts as what it points to; a dangling one as a file.
            isFolder =
                ::fstatat(::dirfd(state_->dir), d->d_name, &st, 0) == 0 && S_ISDIR(st.st_mode);
        }
        Describe(state_->folder, d->d_name, isFolder, state_->attributes, entry);
        return true;
    }
    return false;
}

} // namespace platform
