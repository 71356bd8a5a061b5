#include "platform/DirectorySearch.h"

#include "platform/Win32_win32.h"

namespace platform {

struct DirectorySearch::State {
    HANDLE find = INVALID_HANDLE_VALUE;

    ~State() {
        if (find != INVALID_HANDLE_VALUE)
            ::FindClose(find);
    }
};

DirectorySearch::DirectorySearch() : state_(std::make_unique<State>()) {}
DirectorySearch::~DirectorySearch() = default;

// The backslash separates folders; "/" and a drive's colon ("C:*.txt") name a folder too, so the
// entry opened from the folder part is the entry the search found.
const char* FolderSeparators() {
    return "\\/:";
}

bool SameFolderName(std::string_view a, std::string_view b) {
    return ::CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(),
                            static_cast<int>(a.size()), b.data(),
                            static_cast<int>(b.size())) == CSTR_EQUAL;
}

namespace {

void Describe(const WIN32_FIND_DATAA& data, FoundEntry& entry) {
    entry = FoundEntry{};
    entry.name = data.cFileName;
    entry.folder = data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
    entry.hidden = data.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN;
    entry.system = data.dwFileAttributes & FILE_ATTRIBUTE_SYSTEM;
    entry.temporary = data.dwFileAttributes & FILE_ATTRIBUTE_TEMPORARY;
    entry.offline = data.dwFileAttributes & FILE_ATTRIBUTE_OFFLINE;
}

} // namespace

std::error_code DirectorySearch::First(const std::string& mask, FoundEntry& entry) {
    state_ = std::make_unique<State>();
    WIN32_FIND_DATAA data;
    state_->find = ::FindFirstFileA(mask.c_str(), &data);
    if (state_->find == INVALID_HANDLE_VALUE)
        return LastError();
    Describe(data, entry);
    return {};
}

bool DirectorySearch::Next(FoundEntry& entry) {
    WIN32_FIND_DATAA data;
    if (state_->find == INVALID_HANDLE_VALUE || !::FindNextFileA(state_->find, &data))
        return false;
    Describe(data, entry);
    return true;
}

} // namespace platform
