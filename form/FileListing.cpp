#include "form/FileListing.h"

#include "platform/Folders.h"

#include "platform/AsciiCase.h"
#include "platform/DirectorySearch.h"

#include <algorithm>

namespace form {
namespace {

constexpr std::size_t kManyNames = 100;

unsigned char Fold(char c) {
    return static_cast<unsigned char>(platform::AsciiLower(c));
}

} // namespace

bool ListOrderLess(std::string_view a, std::string_view b) {
    // One pass: the first letter that differs without regard to case decides, then the length,
    // then the bytes as they stand.
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const unsigned char x = Fold(a[i]), y = Fold(b[i]);
        if (x != y)
            return x < y;
    }
    if (a.size() != b.size())
        return a.size() < b.size();
    return a < b;
}

std::vector<std::string> ListFolder(std::string_view listMask,
                                    const std::function<void()>& manyNames) {
    std::vector<std::string> names;
    bool toldMany = false;
    std::size_t start = 0;
    while (start < listMask.size()) {
        const std::size_t end = std::min(listMask.find(';', start), listMask.size());
        const std::string mask(listMask.substr(start, end - start));
        start = end + 1;
        // A mask that names a folder would list names of another folder than the one the run
        // reads its sources from and stamps its targets in.
        if (mask.empty() || mask.find_first_of(platform::FolderSeparators()) != std::string::npos)
            continue;
        platform::DirectorySearch search;
        platform::FoundEntry entry;
        for (bool found = search.Start(mask, entry); found; found = search.Next(entry)) {
            if (entry.folder || entry.hidden || entry.system)
                continue;
            names.push_back(entry.name);
            if (names.size() > kManyNames && !toldMany && manyNames) {
                toldMany = true;
                manyNames();
            }
        }
    }
    // One sort after the search: inserting each name in order would cost a move per name.
    std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return ListOrderLess(a, b);
    });
    return names;
}

std::string FolderOfArgument(std::string_view argument) {
    std::string path(argument);
    // The C runtime reads a backslash before a closing quote as escaping it: the shell's "E:\"
    // and "C:\x\" arrive as E:" and C:\x". Where a backslash separates folders, no name holds a
    // quote, so the quote stands for that backslash.
    const std::string_view separators = platform::FolderSeparators();
    if (path.ends_with('"') && separators.find('\\') != std::string_view::npos)
        path.back() = '\\';
    if (!path.empty() && platform::IsFolder(path))
        return platform::JoinPath(path, "");
    return std::string(platform::FolderPartOf(path));
}

} // namespace form
