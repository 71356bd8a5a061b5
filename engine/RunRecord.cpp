#include "engine/RunRecord.h"

#include "platform/DirectorySearch.h"
#include "platform/Folders.h"
#include "platform/HeldFile.h"
#include "platform/RegularFile.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <random>

namespace engine {
namespace {

/// The first line of a record, and that of the records of earlier versions, which had one mark
/// for the whole run and none for each target.
constexpr std::string_view kFirstLine = "Kronalo restore record 2";
constexpr std::string_view kFirstLineOfOne = "Kronalo restore record 1";
constexpr const char* kEnding = ".kronalo-run";

/// A name as one word of the file: bytes that are no printable ASCII, and "%", as %XX.
std::string Escaped(std::string_view bytes) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string word;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte > 0x20 && byte < 0x7F && c != '%') {
            word += c;
        } else {
            word += '%';
            word += kHex[byte >> 4];
            word += kHex[byte & 15];
        }
    }
    return word;
}

std::optional<std::string> Unescaped(std::string_view word) {
    std::string bytes;
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (word[i] != '%') {
            bytes += word[i];
            continue;
        }
        unsigned value = 0;
        if (i + 3 > word.size() ||
            std::from_chars(word.data() + i + 1, word.data() + i + 3, value, 16).ptr !=
                word.data() + i + 3)
            return std::nullopt;
        bytes += static_cast<char>(value);
        i += 2;
    }
    return bytes;
}

/// Splits off the next word of `line`, up to a blank.
std::string_view Word(std::string_view& line) {
    const std::size_t end = std::min(line.find(' '), line.size());
    const std::string_view word = line.substr(0, end);
    line.remove_prefix(std::min(end + 1, line.size()));
    return word;
}

template <typename Number> bool ReadNumber(std::string_view& line, Number& value) {
    const std::string_view word = Word(line);
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    return !word.empty() && error == std::errc() && end == word.data() + word.size();
}

std::string Time(const platform::ExactTime& time) {
    return std::to_string(time.seconds) + " " + std::to_string(time.nanoseconds);
}

bool ReadTime(std::string_view& line, platform::ExactTime& time) {
    return ReadNumber(line, time.seconds) && ReadNumber(line, time.nanoseconds) &&
           time.nanoseconds < 1000000000u;
}

std::string TargetLine(const RecordedTarget& target) {
    const platform::FileState& s = target.before;
    return "target " + Escaped(target.name) + " " + std::to_string(s.device) + " " +
           std::to_string(s.number) + " " + (s.folder ? "1" : "0") + " " +
           (s.creation ? Time(*s.creation) : "- -") + " " + Time(s.lastAccess) + " " +
           Time(s.lastWrite) + " " + std::to_string(target.setCreation) + " " +
           std::to_string(target.setLastWrite) + (target.restored ? " 1" : " 0") + "\n";
}

/// A mark of 0 or 1 as the next word of `line`.
bool ReadMark(std::string_view& line, bool& mark) {
    int value = 0;
    if (!ReadNumber(line, value) || value < 0 || value > 1)
        return false;
    mark = value == 1;
    return true;
}

/// One target line; `marked` where the line ends with the target's own restored mark.
std::optional<RecordedTarget> ParseTarget(std::string_view line, bool marked) {
    RecordedTarget target;
    platform::FileState& s = target.before;
    int folder = 0;
    std::optional<std::string> name;
    if (Word(line) != "target" || !(name = Unescaped(Word(line))) || name->empty() ||
        !ReadNumber(line, s.device) || !ReadNumber(line, s.number) || !ReadNumber(line, folder) ||
        folder < 0 || folder > 1)
        return std::nullopt;
    target.name = *name;
    s.folder = folder == 1;
    if (line.starts_with("- - ")) {
        line.remove_prefix(4);
    } else {
        platform::ExactTime creation;
        if (!ReadTime(line, creation))
            return std::nullopt;
        s.creation = creation;
    }
    if (!ReadTime(line, s.lastAccess) || !ReadTime(line, s.lastWrite) ||
        !ReadNumber(line, target.setCreation) || !ReadNumber(line, target.setLastWrite) ||
        (marked && !ReadMark(line, target.restored)) || !line.empty())
        return std::nullopt;
    return target;
}

/// The next line of `text`, without its line end; nothing where no whole line is left.
std::optional<std::string_view> Line(std::string_view& text) {
    const std::size_t end = text.find('\n');
    if (end == std::string_view::npos)
        return std::nullopt;
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(end + 1);
    return line;
}

/// The value after `key` on the next line.
std::optional<std::string_view> Field(std::string_view& text, std::string_view key) {
    std::optional<std::string_view> line = Line(text);
    if (!line || !line->starts_with(key) || line->size() <= key.size() ||
        (*line)[key.size()] != ' ')
        return std::nullopt;
    return line->substr(key.size() + 1);
}

/// The lines before the targets, and where the targets begin. The first version has a mark for
/// the whole run (`restored`); the second has `begun`, a count of the targets given back, and
/// marks each target.
std::optional<RunHeader> ParseHeader(std::string_view& text, int& version) {
    RunHeader header;
    RunRecord& record = header.run;
    std::optional<std::string_view> line = Line(text);
    if (!line || (*line != kFirstLine && *line != kFirstLineOfOne))
        return std::nullopt;
    version = *line == kFirstLine ? 2 : 1;
    std::optional<std::string_view> field = Field(text, "folder");
    std::optional<std::string> folder;
    if (!field || !(folder = Unescaped(*field)))
        return std::nullopt;
    record.folder = *folder;
    field = Field(text, "folder-identity");
    if (!field || !ReadNumber(*field, record.folderDevice) ||
        !ReadNumber(*field, record.folderNumber) || !field->empty())
        return std::nullopt;
    field = Field(text, "started");
    if (!field || !ReadTime(*field, record.started) || !field->empty())
        return std::nullopt;
    // A record of the first version was written only for a run that went on to start.
    bool allRestored = false;
    record.begun = version == 1;
    field = Field(text, version == 1 ? "restored" : "begun");
    if (!field || !ReadMark(*field, version == 1 ? allRestored : record.begun) || !field->empty())
        return std::nullopt;
    if (version == 2 && (!(field = Field(text, "restored")) ||
                         !ReadNumber(*field, header.restored) || !field->empty()))
        return std::nullopt;
    field = Field(text, "targets");
    if (!field || !ReadNumber(*field, header.targets) || !field->empty() ||
        header.restored > header.targets)
        return std::nullopt;
    header.restored = allRestored ? header.targets : header.restored;
    return header;
}

} // namespace

std::string FormatRunRecord(const RunRecord& record) {
    std::string text = std::string(kFirstLine) + "\n";
    text += "folder " + Escaped(record.folder) + "\n";
    text += "folder-identity " + std::to_string(record.folderDevice) + " " +
            std::to_string(record.folderNumber) + "\n";
    text += "started " + Time(record.started) + "\n";
    text += std::string("begun ") + (record.begun ? "1" : "0") + "\n";
    text += "restored " + std::to_string(record.targets.size() - record.Unrestored()) + "\n";
    text += "targets " + std::to_string(record.targets.size()) + "\n";
    for (const RecordedTarget& target : record.targets)
        text += TargetLine(target);
    return text + "end\n";
}

std::optional<RunHeader> ParseRunHeader(std::string_view text) {
    int version = 0;
    return ParseHeader(text, version);
}

std::optional<RunRecord> ParseRunRecord(std::string_view text) {
    int version = 0;
    std::optional<RunHeader> header = ParseHeader(text, version);
    if (!header || header->targets > text.size())
        return std::nullopt;
    RunRecord& record = header->run;
    record.targets.reserve(header->targets);
    for (std::size_t i = 0; i < header->targets; ++i) {
        std::optional<std::string_view> line = Line(text);
        std::optional<RecordedTarget> target;
        if (!line || !(target = ParseTarget(*line, version == 2)))
            return std::nullopt;
        target->restored = target->restored || (version == 1 && header->restored > 0);
        record.targets.push_back(std::move(*target));
    }
    // A record cut short lacks its last line; one with more after it is no record either; the
    // count of targets given back must be theirs.
    if (text != "end\n" || record.targets.size() - record.Unrestored() != header->restored)
        return std::nullopt;
    return std::move(record);
}

std::error_code DamagedRecord() {
    return std::make_error_code(std::errc::illegal_byte_sequence);
}

std::size_t RunRecord::Unrestored() const {
    return static_cast<std::size_t>(
        std::count_if(targets.begin(), targets.end(),
                      [](const RecordedTarget& target) { return !target.restored; }));
}

std::vector<RunRecords::Entry> RunRecords::Files() const {
    std::vector<Entry> entries;
    // Without a folder of its own, no record is anywhere.
    if (folder_.empty())
        return entries;
    platform::DirectorySearch search;
    platform::FoundEntry found;
    for (bool more = search.Start(platform::JoinPath(folder_, std::string("*") + kEnding), found);
         more; more = search.Next(found))
        if (!found.folder && std::string_view(found.name).ends_with(kEnding))
            entries.push_back({platform::JoinPath(folder_, found.name), std::nullopt});
    // Named by when they started, so their names sort in that order.
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return a.path < b.path; });
    return entries;
}

std::error_code RunRecords::Add(const RunRecord& record, std::string& path) const {
    char name[96];
    std::random_device seed;
    std::snprintf(name, sizeof name, "%012lld.%09u-%08x%s",
                  static_cast<long long>(record.started.seconds), record.started.nanoseconds,
                  seed(), kEnding);
    path = platform::JoinPath(folder_, name);
    if (folder_.empty())
        return std::make_error_code(std::errc::no_such_file_or_directory);
    if (const std::error_code error = platform::CreateFolders(folder_))
        return error;
    platform::HeldFile file;
    if (const std::error_code error = file.Write(path, FormatRunRecord(record), true))
        return error;
    // Only whole records of the user's own go, oldest run first; the clock may have stood ahead
    // when an older one was written, so the new one is never among them.
    std::vector<Entry> others = Files();
    for (Entry& other : others) {
        RunRecord read;
        if (other.path != path && !Read(other.path, read))
            other.record = std::move(read);
    }
    std::erase_if(others, [](const Entry& e) { return !e.record; });
    std::stable_sort(others.begin(), others.end(), [](const Entry& a, const Entry& b) {
        const platform::ExactTime &x = a.record->started, &y = b.record->started;
        return x.seconds != y.seconds ? x.seconds < y.seconds : x.nanoseconds < y.nanoseconds;
    });
    for (std::size_t i = 0; i + kKept < others.size() + 1; ++i)
        // One that cannot go stays; the new record is kept all the same.
        (void)platform::RemoveOwnFile(others[i].path);
    return {};
}

std::error_code RunRecords::Rewrite(const std::string& path, const RunRecord& record) const {
    platform::HeldFile file;
    return file.Write(path, FormatRunRecord(record), true);
}

std::error_code RunRecords::Remove(const std::string& path) const {
    return platform::RemoveOwnFile(path);
}

RunRecords::Found RunRecords::Runs(std::uint64_t device, std::uint64_t number) const {
    Found found;
    std::vector<Entry> entries = Files();
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
        // The lines before the targets tell whose run it is and what is left of it; the targets
        // are read only for the run the user is asked about.
        std::string head;
        std::optional<RunHeader> header;
        std::error_code refusal = platform::ReadOwnFileStart(entry->path, kLargest, kHead, head);
        if (!refusal && !(header = ParseRunHeader(head)))
            refusal = DamagedRecord();
        if (refusal) {
            if (found.runs.empty())
                found.refused.push_back({entry->path, refusal});
            continue;
        }
        const RunRecord& run = header->run;
        if (run.folderDevice == device && run.folderNumber == number && run.begun &&
            header->restored < header->targets)
            found.runs.push_back({std::move(*header), entry->path});
    }
    return found;
}

std::error_code RunRecords::Read(const std::string& path, RunRecord& record) const {
    std::string text;
    if (const std::error_code error = platform::ReadOwnFile(path, kLargest, text))
        return error;
    std::optional<RunRecord> read = ParseRunRecord(text);
    if (!read)
        return DamagedRecord();
    record = std::move(*read);
    return {};
}

std::error_code RunRecords::MarkRestored(const std::string& path,
                                         const platform::ExactTime& started,
                                         const std::vector<std::size_t>& indices) const {
    RunRecord record;
    if (const std::error_code error = Read(path, record))
        return error;
    if (!(record.started == started))
        return DamagedRecord();
    for (const std::size_t i : indices)
        if (i < record.targets.size())
            record.targets[i].restored = true;
    return Rewrite(path, record);
}

} // namespace engine
