#pragma once

#include "platform/DirectorySearch.h"

namespace stampreport {

/// Why Stamplet passes over an entry its mask matches, without a word.
enum class PassedOver {
    No,       ///< It is stamped.
    Marked,   ///< Hidden, temporary or offline.
    DotEntry, ///< "." or "..".
    Folder,   ///< A folder, and folders are not stamped.
};

/// Stamplet's rule for the entries it passes over; Kronalo's verdict reads the targets by it.
inline PassedOver WhyPassedOver(const platform::FoundEntry& entry, bool includeFolders) {
    if (entry.hidden || entry.temporary || entry.offline)
        return PassedOver::Marked;
    if (entry.name == "." || entry.name == "..")
        return PassedOver::DotEntry;
    if (entry.folder && !includeFolders)
        return PassedOver::Folder;
    return PassedOver::No;
}

} // namespace stampreport
