#pragma once

#include <string>
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

/// The process's standard output and standard error. Standard output is written in large pieces
/// and at the end, standard error at once, each after what went to standard output before it.
class StandardConsole final : public Console {
public:
    StandardConsole() = default;
    /// Writes what is still kept.
    ~StandardConsole() override;
    StandardConsole(const StandardConsole&) = delete;
    StandardConsole& operator=(const StandardConsole&) = delete;

    void Out(std::string_view text) override;
    void Err(std::string_view text) override;
    /// Writes what is kept for standard output.
    void Flush();

private:
    std::string kept_;
};

} // namespace stamp
