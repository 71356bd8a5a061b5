#include "stamp/Console.h"

#include "platform/StandardStreams.h"

namespace stamp {
namespace {

/// A mask over many files reports each one: written in pieces of this size, not per line.
constexpr std::size_t kPiece = 64 * 1024;

} // namespace

StandardConsole::~StandardConsole() {
    Flush();
}

void StandardConsole::Out(std::string_view text) {
    kept_ += text;
    if (kept_.size() >= kPiece)
        Flush();
}

void StandardConsole::Err(std::string_view text) {
    // The note must appear after the lines that led to it.
    Flush();
    (void)platform::WriteStandardError(text);
}

void StandardConsole::Flush() {
    // Where the output is gone (its reader ended), there is nobody to tell.
    (void)platform::WriteStandardOutput(kept_);
    kept_.clear();
}

} // namespace stamp
