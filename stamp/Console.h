#pragma once

#include <string_view>

namespace stamp {

/// Where Stamplet's messages go.
class Console {
public:
    virtual ~Console() = default;
    /// Standard output: every message of the tool.
    virtual void Out(std::string_view text) = 0;
    /// Standard error: the note on creation times only.
    virtual void Err(std::string_view text) = 0;
};

/// The process's standard output and standard error.
class StdioConsole final : public Console {
public:
    void Out(std::string_view text) override;
    void Err(std::string_view text) override;
};

} // namespace stamp
