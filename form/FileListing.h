#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace form {

/// The names the file list shows for `listMask` in the current folder: the mask is split at each
/// ";", each part searched with the system's wildcard rules, folders and hidden and system
/// entries left out. A part that names a folder lists nothing. The names come in one ascending
/// order without regard to letter case; a name found by two parts is listed twice. `manyNames` is
/// called once the search has found more than 100 names, so the caller can show that it is busy.
std::vector<std::string> ListFolder(std::string_view listMask,
                                    const std::function<void()>& manyNames = {});

/// Compares two names as the file list orders them: letters without regard to case, then the
/// bytes as they stand so the order is total.
bool ListOrderLess(std::string_view a, std::string_view b);

/// The folder Kronalo's command-line argument opens, ending with a folder separator: the
/// argument itself where it names an existing folder (with or without its last separator, as a
/// file manager passes it), else its text up to and including the last folder separator (a
/// file's folder); empty when that has none. Where a backslash separates folders, a last double
/// quote stands for a backslash, as the C runtime leaves it of a quoted "E:\" or "C:\x\".
std::string FolderOfArgument(std::string_view argument);

} // namespace form
