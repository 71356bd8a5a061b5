#include "platform/FileTimes.h"

#include "platform/Win32_win32.h"

#include <cwchar>

namespace platform {

std::error_code GetFileTimes(const std::string& path, FileTimeSet& times) {
    // Read and write sharing: a source another program is writing is still read.
    UniqueHandle file(::CreateFileW(Wide(path).c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
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

FileTime ToFileTime(const ExactTime& time) {
    const std::int64_t ticks = (time.seconds * 10000000LL) + time.nanoseconds / 100 +
                               static_cast<std::int64_t>(kUnixEpochFileTime);
    return ticks < 0 ? 0 : static_cast<FileTime>(ticks);
}

std::error_code LinkedFolderOf(const std::string&, bool& linked, FileState&) {
    // A target reached through a reparse point is followed, as the system's own calls do.
    linked = false;
    return {};
}

std::error_code FileStateOf(const std::string& path, FileState& state) {
    UniqueHandle entry(::CreateFileW(Wide(path).c_str(), FILE_READ_ATTRIBUTES,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info;
    if (!entry || !::GetFileInformationByHandle(entry.get(), &info))
        return LastError();
    const auto exact = [](const FILETIME& time) {
        const std::int64_t since =
            static_cast<std::int64_t>(Ticks(time)) - static_cast<std::int64_t>(kUnixEpochFileTime);
        std::int64_t seconds = since / 10000000LL, rest = since % 10000000LL;
        if (rest < 0) {
            rest += 10000000LL;
            --seconds;
        }
        return ExactTime{seconds, static_cast<std::uint32_t>(rest * 100)};
    };
    FileState read;
    read.device = info.dwVolumeSerialNumber;
    read.number = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    read.folder = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    read.creation = exact(info.ftCreationTime);
    read.lastAccess = exact(info.ftLastAccessTime);
    read.lastWrite = exact(info.ftLastWriteTime);
    state = read;
    return {};
}

std::error_code StatFileTimes(const std::string& path, FileTimeSet& times) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExW(Wide(path).c_str(), GetFileExInfoStandard, &data))
        return LastError();
    times.creation = Ticks(data.ftCreationTime);
    times.lastAccess = Ticks(data.ftLastAccessTime);
    times.lastWrite = Ticks(data.ftLastWriteTime);
    return {};
}

std::error_code TimeKeepingOf(const std::string& path, TimeKeeping& keeping) {
    wchar_t root[MAX_PATH + 1];
    wchar_t system[MAX_PATH + 1];
    if (!::GetVolumePathNameW(Wide(path).c_str(), root, MAX_PATH + 1) ||
        !::GetVolumeInformationW(root, nullptr, 0, nullptr, nullptr, nullptr, system, MAX_PATH + 1))
        return LastError();
    keeping = TimeKeeping{};
    keeping.creationSettable = true;
    if (std::wcsncmp(system, L"FAT", 3) == 0 || std::wcscmp(system, L"exFAT") == 0) {
        constexpr FileTime kSecond = kFileTimeTicksPerSecond;
        keeping.creationStep = kSecond / 100;
        keeping.lastWriteStep = 2 * kSecond;
        // A date without a time of day, in local time.
        keeping.lastAccessStep = 2 * 86400 * kSecond;
    }
    return {};
}

namespace {

/// Reads the times back through the handle. A creation time that did not stay is no error but
/// a creation time not kept: Wine on a Linux file system reports the last-write time for it.
[[nodiscard]] std::error_code CheckStored(HANDLE entry, const std::string& path,
                                          const FileTimeChange& change, bool& creationNotKept) {
    FILETIME creation, access, write;
    if (!::GetFileTime(entry, &creation, &access, &write))
        return LastError();
    if (change.creation && Ticks(creation) != *change.creation)
        creationNotKept = true;
    const auto exact = [](const std::optional<FileTime>& wanted, const FILETIME& kept) {
        return !wanted || *wanted == Ticks(kept);
    };
    if (exact(change.lastAccess, access) && exact(change.lastWrite, write))
        return {};
    TimeKeeping keeping;
    if (const std::error_code error = TimeKeepingOf(path, keeping))
        return error;
    const auto kept = [](const std::optional<FileTime>& wanted, const FILETIME& got,
                         FileTime step) { return !wanted || KeptAs(Ticks(got), *wanted, step); };
    if (kept(change.lastAccess, access, keeping.lastAccessStep) &&
        kept(change.lastWrite, write, keeping.lastWriteStep))
        return {};
    return std::make_error_code(std::errc::result_out_of_range);
}

} // namespace

std::error_code SetFileTimes(const std::string& path, const FileTimeChange& change,
                             bool& creationNotKept) {
    const DWORD attributes = ::GetFileAttributesW(Wide(path).c_str());
    const bool folder =
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    // Write access is asked for, so a read-only file is refused here.
    UniqueHandle entry(::CreateFileW(
        Wide(path).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
        FILE_ATTRIBUTE_ARCHIVE | (folder ? FILE_FLAG_BACKUP_SEMANTICS : 0), nullptr));
    if (!entry)
        return LastError();
    // The times as found, to be put back where the volume does not keep the new ones: an entry
    // reported as ignored must be left as it was.
    FILETIME before[3];
    if (!::GetFileTime(entry.get(), &before[0], &before[1], &before[2]))
        return LastError();
    // Read through the handle the times are set on, which lets nobody else write meanwhile.
    if (change.ifLastWrite)
        if (const std::error_code error =
                CheckLastWrite(path, Ticks(before[2]), *change.ifLastWrite))
            return error;
    FILETIME creation, access, write;
    if (change.creation)
        creation = ToFiletime(*change.creation);
    if (change.lastAccess)
        access = ToFiletime(*change.lastAccess);
    if (change.lastWrite)
        write = ToFiletime(*change.lastWrite);
    std::error_code error;
    if (!::SetFileTime(entry.get(), change.creation ? &creation : nullptr,
                       change.lastAccess ? &access : nullptr, change.lastWrite ? &write : nullptr))
        error = LastError();
    else
        error = CheckStored(entry.get(), path, change, creationNotKept);
    if (error)
        ::SetFileTime(entry.get(), &before[0], &before[1], &before[2]);
    return error;
}

} // namespace platform
