#pragma once

#include "platform/HeldFolder.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <system_error>

namespace platform {

/// A file this process wrote whole and still holds open, so that what is read from it later is
/// what was written, whatever happens to its name meanwhile. Closed when the object goes.
class HeldFile {
public:
    HeldFile() = default;
    ~HeldFile();
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;

    /// Writes `bytes` as the whole content of a new file at `path`, readable and writable by its
    /// owner only, replacing what stands there (a planted link is replaced, not followed), and
    /// holds the new file open. The content is written beside the name first and then moved into
    /// place; on failure nothing is left behind and nothing is held. Where `flushed`, the content
    /// has reached the disk before the name leads to it.
    [[nodiscard]] std::error_code Write(const std::string& path, std::string_view bytes,
                                        bool flushed = false);

    /// As Write, but as the file `name` in the held `folder`, wherever that folder stands by then;
    /// `path` is the path the user knows the file by, which Path() gives. The folder must stay
    /// held while the file is.
    [[nodiscard]] std::error_code Write(const HeldFolder& folder, const std::string& name,
                                        const std::string& path, std::string_view bytes);

    /// True once Write has succeeded, until Remove.
    bool IsHeld() const { return handle_ != kNone; }

    /// The path given to Write, or the file's path in its folder as the user knows it.
    const std::string& Path() const { return path_; }

    /// Deletes the written file, and only that file: where its name now leads to another file
    /// (another window's, a neighbour's), that one is left alone. A file already gone counts as
    /// deleted. Lets go of the file either way.
    [[nodiscard]] std::error_code Remove();

    /// The system's handle of the held file (a file descriptor or a HANDLE), for the process layer.
    std::intptr_t NativeHandle() const { return handle_; }

private:
    static constexpr std::intptr_t kNone = -1;
    void Close();

    std::string path_;
    std::string access_; ///< Where this process reaches the file.
    std::intptr_t handle_ = kNone;
    std::uint64_t device_ = 0; ///< Where the system names files by device and number.
    std::uint64_t number_ = 0;
};

} // namespace platform
