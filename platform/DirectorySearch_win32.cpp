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

bool IsAbsolutePath(std::string_view path) {
    const auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    return path.starts_with('\\') || path.starts_with('/') ||
           (path.size() >= 2 && letter(path[0]) && path[1] == ':');
}

namespace {

/// The UTF-16 units of the character that the UTF-8 lead byte `lead` begins, and its bytes.
std::pair<std::size_t, std::size_t> Character(unsigned char lead) {
    if (lead >= 0xF0)
        return {2, 4};
    if (lead >= 0xE0)
        return {1, 3};
    if (lead >= 0xC0)
        return {1, 2};
    return {1, 1};
}

} // namespace

std::size_t PathLength(std::string_view path) {
    return Wide(path).size();
}

std::string_view PathPrefix(std::string_view path, std::size_t most) {
    std::size_t units = 0, bytes = 0;
    while (bytes < path.size()) {
        const auto [width, length] = Character(static_cast<unsigned char>(path[bytes]));
        if (units + width > most || bytes + length > path.size())
            break;
        units += width;
        bytes += length;
    }
    return path.substr(0, bytes);
}

bool SameFolderName(std::string_view a, std::string_view b) {
    const std::wstring wideA = Wide(a), wideB = Wide(b);
    return ::CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, wideA.data(),
                            static_cast<int>(wideA.size()), wideB.data(),
                            static_cast<int>(wideB.size())) == CSTR_EQUAL;
}

namespace {

void Describe(const WIN32_FIND_DATAW& data, FoundEntry& entry) {
    entry = FoundEntry{};
    entry.name = Narrow(data.cFileName);
    entry.folder = data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
    entry.hidden = data.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN;
    entry.system = data.dwFileAttributes & FILE_ATTRIBUTE_SYSTEM;
    entry.temporary = data.dwFileAttributes & FILE_ATTRIBUTE_TEMPORARY;
    entry.offline = data.dwFileAttributes & FILE_ATTRIBUTE_OFFLINE;
}

} // namespace

std::error_code DirectorySearch::First(const std::string& mask, FoundEntry& entry) {
    state_ = std::make_unique<State>();
    WIN32_FIND_DATAW data;
    state_->find = ::FindFirstFileW(Wide(mask).c_str(), &data);
    if (state_->find == INVALID_HANDLE_VALUE)
        return LastError();
    Describe(data, entry);
    return {};
}

bool DirectorySearch::Next(FoundEntry& entry) {
    WIN32_FIND_DATAW data;
    if (state_->find == INVALID_HANDLE_VALUE || !::FindNextFileW(state_->find, &data))
        return false;
    Describe(data, entry);
    return true;
}

} // namespace platform
