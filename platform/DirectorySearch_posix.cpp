#include "platform/DirectorySearch.h"

#include "platform/DosAttributes_posix.h"
#include "platform/Wildcard.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace platform {

struct DirectorySearch::State {
    DIR* dir = nullptr;
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

bool SameFolderName(std::string_view a, std::string_view b) {
    return a == b;
}

namespace {

void Describe(int folderFd, const char* name, unsigned char type, DosAttributeReader& attributes,
              FoundEntry& entry) {
    entry = FoundEntry{};
    entry.name = name;
    if (type == DT_DIR) {
        entry.folder = true;
    } else if (type == DT_UNKNOWN || type == DT_LNK) {
        struct stat st;
        // A link counts as what it points to; a dangling one as a file.
        entry.folder = ::fstatat(folderFd, name, &st, 0) == 0 && S_ISDIR(st.st_mode);
    }
    entry.hidden = name[0] == '.';
    DosAttributes dos;
    if (attributes.Read(folderFd, name, dos)) {
        entry.hidden = entry.hidden || dos.hidden;
        entry.system = dos.system;
        entry.temporary = dos.temporary;
        entry.offline = dos.offline;
    }
}

} // namespace

std::error_code DirectorySearch::First(const std::string& mask, FoundEntry& entry) {
    state_ = std::make_unique<State>();
    const std::size_t slash = mask.rfind('/');
    std::string folder = ".";
    if (slash != std::string::npos)
        folder = slash == 0 ? "/" : mask.substr(0, slash);
    state_->pattern = mask.substr(slash == std::string::npos ? 0 : slash + 1);
    if (state_->pattern.empty())
        return std::make_error_code(std::errc::no_such_file_or_directory);

    state_->dir = ::opendir(folder.c_str());
    if (!state_->dir)
        return {errno, std::generic_category()};
    const int folderFd = ::dirfd(state_->dir);
    state_->attributes.Prepare(folderFd);

    if (!HasWildcards(state_->pattern)) {
        // The entry as the file system resolves the name; a dangling link still exists.
        struct stat st;
        const char* name = state_->pattern.c_str();
        unsigned char type = DT_REG;
        if (::fstatat(folderFd, name, &st, 0) == 0)
            type = S_ISDIR(st.st_mode) ? DT_DIR : DT_REG;
        else if (::fstatat(folderFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            return {errno, std::generic_category()};
        state_->single = true;
        Describe(folderFd, name, type, state_->attributes, entry);
        return {};
    }
    if (Next(entry))
        return {};
    return std::make_error_code(std::errc::no_such_file_or_directory);
}

bool DirectorySearch::Next(FoundEntry& entry) {
    if (!state_->dir || state_->single)
        return false;
    while (const dirent* d = ::readdir(state_->dir)) {
        if (WildcardMatch(state_->pattern, d->d_name)) {
            Describe(::dirfd(state_->dir), d->d_name, d->d_type, state_->attributes, entry);
            return true;
        }
    }
    return false;
}

} // namespace platform
