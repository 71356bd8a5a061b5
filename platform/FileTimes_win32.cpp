#include "platform/FileTimes.h"

#include "platform/Win32_win32.h"

namespace platform {

std::error_code GetFileTimes(const std::string& path, FileTimeSet& times) {
    // Read and write sharing: a source another program is writing is still read.
    UniqueHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return LastError();
    FILETIME creation, access, write;
    if (!::GetFileTime(file.get(), &creation, &access, &write))
        return LastError();
    // A time the calendar conversion refuses is no time to hand on.
    SYSTEMTIME fields;
    for (const FILETIME* time : {&creation, &access, &write})
        if (!::FileTimeToSystemTime(time, &fields))
            return LastError();
    times.creation = Ticks(creation);
    times.lastAccess = Ticks(access);
    times.lastWrite = Ticks(write);
    return {};
}

std::error_code SetFileTimes(const std::string& path, const FileTimeChange& change,
                             bool& creationNotKept) {
    creationNotKept = false;
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    const bool folder =
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    // Write access is asked for, so a read-only file is refused here.
    UniqueHandle entry(::CreateFileA(
        path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
        FILE_ATTRIBUTE_ARCHIVE | (folder ? FILE_FLAG_BACKUP_SEMANTICS : 0), nullptr));
    if (!entry)
        return LastError();
    FILETIME creation, access, write;
    if (change.creation)
        creation = ToFiletime(*change.creation);
    if (change.lastAccess)
        access = ToFiletime(*change.lastAccess);
    if (change.lastWrite)
        write = ToFiletime(*change.lastWrite);
    if (!::SetFileTime(entry.get(), change.creation ? &creation : nullptr,
                       change.lastAccess ? &access : nullptr, change.lastWrite ? &write : nullptr))
        return LastError();
    return {};
}

} // namespace platform
