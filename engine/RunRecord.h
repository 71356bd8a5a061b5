#pragma once

#include "platform/FileTimes.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

namespace engine {

/// One target as a run found it before stamping it.
struct RecordedTarget {
    /// As the script names it, relative to the list folder: a name without wildcards.
    std::string name;
    /// Which file it was and its times, exactly as the file system kept them.
    platform::FileState before;
    /// What the run was to set: the creation time (0 where it set none) and the last-write time.
    platform::FileTime setCreation = 0;
    platform::FileTime setLastWrite = 0;
};

/// What a time-copy run changes, recorded before it changes anything, so that it can be taken
/// back.
struct RunRecord {
    std::string folder;             ///< The list folder's path.
    std::uint64_t folderDevice = 0; ///< With `folderNumber`, names the list folder wherever it
    std::uint64_t folderNumber = 0; ///< stands, as platform::FileState does.
    platform::ExactTime started;    ///< When the run started.
    bool restored = false;          ///< A restore has taken it back.
    std::vector<RecordedTarget> targets;
};

/// The record as its file holds it: plain text, names escaped, every number exact.
std::string FormatRunRecord(const RunRecord& record);

/// The record a file holds; nothing where the text is not one whole record.
std::optional<RunRecord> ParseRunRecord(std::string_view text);

/// The records of the runs of one user, each a file of its own in a folder of the user's own.
class RunRecords {
public:
    /// How many runs are kept; the oldest go first.
    static constexpr std::size_t kKept = 50;
    /// The largest record read; a larger one is refused.
    static constexpr std::size_t kLargest = 64u << 20;

    /// Records in `folder`, which is made where it is missing.
    explicit RunRecords(std::string folder) : folder_(std::move(folder)) {}

    const std::string& Folder() const { return folder_; }

    /// Writes `record` as a new file, whole or not at all (written beside, flushed, renamed),
    /// and removes all but the last kKept. `path` is the file's path, also on failure.
    [[nodiscard]] std::error_code Add(const RunRecord& record, std::string& path) const;

    /// A record that was not read, and why.
    struct Refused {
        std::string path;
        std::error_code reason; ///< Not a whole record: invalid_argument... see RefusalText.
    };

    /// What a look for the run to restore found.
    struct Found {
        std::optional<RunRecord> record;
        std::string path; ///< The record's file.
        /// Newer records that were refused on the way, each left as it is.
        std::vector<Refused> refused;
    };

    /// The latest run, not yet restored, recorded for the list folder that `device` and
    /// `number` name.
    Found Latest(std::uint64_t device, std::uint64_t number) const;

    /// Marks the record in `path` restored, rewriting it whole.
    [[nodiscard]] std::error_code MarkRestored(const std::string& path, RunRecord record) const;

private:
    /// The record files, oldest first.
    std::vector<std::string> Files() const;

    std::string folder_;
};

/// The error a record that is not one whole record is refused with.
std::error_code DamagedRecord();

} // namespace engine
