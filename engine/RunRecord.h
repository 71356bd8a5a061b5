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
    /// A restore has given it its earlier times back.
    bool restored = false;
};

/// What a time-copy run changes, recorded before it changes anything, so that it can be taken
/// back.
struct RunRecord {
    std::string folder;             ///< The list folder's path.
    std::uint64_t folderDevice = 0; ///< With `folderNumber`, names the list folder wherever it
    std::uint64_t folderNumber = 0; ///< stands, as platform::FileState does.
    platform::ExactTime started;    ///< When the run started.
    /// The run's script was started: only from then on may the run have changed anything.
    bool begun = false;
    /// The targets the run changes, each as it was before.
    std::vector<RecordedTarget> targets;

    /// The targets no restore has given their earlier times back yet.
    std::size_t Unrestored() const;
};

/// The lines of a record before its targets: the run without its targets, and how many targets
/// it has and how many of them were given back.
struct RunHeader {
    RunRecord run;
    std::size_t targets = 0;
    std::size_t restored = 0;
};

/// The record as its file holds it: plain text, names escaped, every number exact.
std::string FormatRunRecord(const RunRecord& record);

/// The record a file holds; nothing where the text is not one whole record.
std::optional<RunRecord> ParseRunRecord(std::string_view text);

/// The lines before the targets of the record that `text` begins; nothing where they are not
/// whole.
std::optional<RunHeader> ParseRunHeader(std::string_view text);

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
    /// then removes the oldest records of the user's own beyond kKept: never the new one, and
    /// never a file that would not be read as a record. `path` is the file's path, also on
    /// failure.
    [[nodiscard]] std::error_code Add(const RunRecord& record, std::string& path) const;

    /// Writes `record` whole over the record in `path`: a run that has begun.
    [[nodiscard]] std::error_code Rewrite(const std::string& path, const RunRecord& record) const;

    /// Removes the record in `path`: a run that never started.
    [[nodiscard]] std::error_code Remove(const std::string& path) const;

    /// A record that was not read, and why.
    struct Refused {
        std::string path;
        /// Not a whole record (DamagedRecord), or why the file is not trusted (ReadOwnFile).
        std::error_code reason;
    };

    /// A recorded run, as the lines before its targets tell it, and the file that holds it.
    struct Run {
        RunHeader header;
        std::string path;
    };

    /// What a look for the runs to restore found.
    struct Found {
        /// Newest first.
        std::vector<Run> runs;
        /// Records newer than the newest run found that were refused, each left as it is.
        std::vector<Refused> refused;
    };

    /// The runs recorded for the list folder that `device` and `number` name that have begun and
    /// still have targets to give back.
    Found Runs(std::uint64_t device, std::uint64_t number) const;

    /// The whole record in `path`, where it is one of the user's own and whole.
    [[nodiscard]] std::error_code Read(const std::string& path, RunRecord& record) const;

    /// Marks the targets at `indices` of the record in `path` restored, as the file holds it now
    /// (another restore may have marked others meanwhile), and rewrites it whole. `started`
    /// names the run, so that no other record is marked in its place.
    [[nodiscard]] std::error_code MarkRestored(const std::string& path,
                                               const platform::ExactTime& started,
                                               const std::vector<std::size_t>& indices) const;

private:
    /// How much of a record is read to learn whose run it is: its lines before the targets.
    static constexpr std::size_t kHead = 64u << 10;

    /// A file named as a record, and the record where it has been read.
    struct Entry {
        std::string path;
        std::optional<RunRecord> record;
    };
    /// Every file named as a record, oldest name first.
    std::vector<Entry> Files() const;

    std::string folder_;
};

/// The error a record that is not one whole record is refused with.
std::error_code DamagedRecord();

} // namespace engine
