#include "stamp/Stamping.h"

#include "platform/DirectorySearch.h"
#include "platform/FileTimes.h"
#include "platform/Wildcard.h"
#include "stampreport/PassedOver.h"
#include "stampreport/StampletText.h"

#include <cstdio>
#include <string>

namespace stamp {
namespace {

/// A report line filled in, sized to the line: a name may take three bytes for each of its 255
/// letters.
template <typename... Args> std::string Formatted(const char* format, Args... args) {
    const int n = std::snprintf(nullptr, 0, format, args...);
    if (n <= 0)
        return {};
    std::string line(static_cast<std::size_t>(n) + 1, '\0');
    std::snprintf(line.data(), line.size(), format, args...);
    line.pop_back();
    return line;
}

template <typename... Args> void Print(Console& console, const char* format, Args... args) {
    console.Out(Formatted(format, args...));
}

void PrintAnnouncement(Console& console, const SystemTime& t) {
    Print(console, text::kAnnouncement, t.day, t.month, t.year, t.hour, t.minute, t.second);
}

/// A local calendar time as a UTC file time, by the offset in force now.
bool ToUtc(const SystemTime& time, std::int32_t offset, platform::FileTime& utc) {
    platform::FileTime local = 0;
    return SystemTimeToFileTime(time, local) && LocalFileTimeToFileTime(local, offset, utc);
}

/// True where the mask names one folder, without wildcards, and folders are not stamped: that
/// folder would be passed over without a word.
bool NamesOnlyAFolder(const StampRequest& request, const platform::FoundEntry& entry) {
    const std::string_view mask = request.fileMask;
    return !platform::HasWildcards(mask.substr(platform::FolderPartOf(mask).size())) &&
           stampreport::WhyPassedOver(entry, request.includeFolders) ==
               stampreport::PassedOver::Folder;
}

/// Sets the times of every entry that matches the mask and is not passed over, a line for each.
int StampMatches(const StampRequest& request, const platform::FileTimeChange& change,
                 Console& console) {
    platform::DirectorySearch search;
    platform::FoundEntry entry;
    if (search.First(request.fileMask, entry)) {
        console.Out(text::kNoFilesFound);
        return 1;
    }
    if (NamesOnlyAFolder(request, entry)) {
        console.Out(text::Filled(text::kFolderWithoutS, entry.name));
        return 1;
    }

    const std::string folder(platform::FolderPartOf(request.fileMask));
    bool creationNoteGiven = false;
    do {
        if (stampreport::WhyPassedOver(entry, request.includeFolders) !=
            stampreport::PassedOver::No)
            continue;
        const std::string path = folder + entry.name;
        bool creationNotKept = false;
        const bool changed = platform::PathLength(path) <= kMaxPath &&
                             !platform::SetFileTimes(path, change, creationNotKept);
        console.Out(text::Filled(changed ? text::kChanged : text::kCannotChange, entry.name));
        if (changed && creationNotKept && !creationNoteGiven) {
            console.Err(text::Filled(text::kCreationNotKept, entry.name));
            creationNoteGiven = true;
        }
    } while (search.Next(entry));

    console.Out("\n");
    return 0;
}

} // namespace

int StampEntries(const StampRequest& request, const StampClock& clock, Console& console) {
    // Without the zone every entry would be stamped hours off.
    const std::optional<std::int32_t> offset = clock.OffsetNow();
    if (!offset) {
        console.Out(text::kNoZone);
        return 1;
    }
    platform::FileTime utc = 0, guard = 0;
    SystemTime announced;
    if (!ToUtc(request.newDateTime, *offset, utc) || !clock.UtcToLocal(utc, announced) ||
        (request.ifLastWrite && !ToUtc(*request.ifLastWrite, *offset, guard))) {
        console.Out(text::kInvalidDateTime);
        return 1;
    }
    PrintAnnouncement(console, announced);

    platform::FileTimeChange change;
    change.lastWrite = utc;
    if (request.ifLastWrite)
        change.ifLastWrite = guard;
    if (request.setCreationTime)
        change.creation = utc;
    if (request.setLastAccessTime)
        change.lastAccess = utc;

    return StampMatches(request, change, console);
}

} // namespace stamp
