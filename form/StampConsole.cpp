#include "form/StampConsole.h"

#include "engine/CodePage.h"
#include "engine/Messages.h"
#include "engine/Names.h"
#include "engine/StampTally.h"
#include "form/FormText.h"
#include "platform/CommandShell.h"
#include "platform/SystemCodePage.h"

#include <algorithm>
#include <utility>

namespace form {
namespace {

/// The script's output as the console shows it, line by line. Stamplet writes UTF-8; on Windows
/// the command interpreter writes its own lines in the console's code page, and a line that is not
/// well-formed UTF-8 is taken for one of those. Each line is shown as ShownText shows a name, so
/// that no name in Stamplet's reports can reorder its line; the line breaks stay.
std::string OutputText(std::string_view lines) {
    std::string text;
    text.reserve(lines.size());
    for (std::size_t start = 0;;) {
        const std::size_t end = lines.find('\n', start);
        std::string_view line = lines.substr(start, end == lines.npos ? end : end - start);
        // cmd ends its lines with CR LF: the CR belongs to the line break.
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        text += engine::IsUtf8(line) ? engine::ShownText(line)
                                     : engine::ShownText(platform::FromConsoleCodePage(line));
        if (end == lines.npos)
            return text;
        text += '\n';
        start = end + 1;
    }
}

} // namespace

StampConsole::StampConsole(TConsoleView& view, PostToWindow post)
    : view_(view), post_(std::move(post)), self_(std::make_shared<StampConsole*>(this)) {}

StampConsole::~StampConsole() {
    Abandon();
    *self_ = nullptr;
}

bool StampConsole::Start(const engine::ScriptLaunch& launch,
                         std::function<void(const engine::ScriptOutcome&)> ended) {
    if (running_)
        return false;
    if (process_.Start(platform::ScriptStart(launch.script, launch.folder, launch.environment,
                                             launch.targetFolders)))
        return false;
    running_ = true;
    ended_ = std::move(ended);
    partial_.clear();
    lastLine_.clear();
    calls_ = launch.stampCalls;
    done_ = 0;
    outcome_ = engine::ScriptOutcome();
    tally_ = engine::TargetTally(launch.callsPerTarget);
    targets_ = launch.callsPerTarget.size();
    stopped_ = false;
    // Where the script leaves creation lines out, no Stamplet call says why; the run knows.
    creationNote_ = launch.creationNotKept;
    note_ = launch.note;
    {
        const std::lock_guard<std::mutex> hold(inbox_.lock);
        inbox_.output.clear();
        inbox_.ended = false;
        inbox_.posted = false;
    }
    view_.Begin(calls_, text::kConsoleRunning);
    reader_ = std::thread([this] { Read(); });
    return true;
}

void StampConsole::Read() {
    // On the reading thread: hands what arrived to the window's thread at most twice a second.
    // A fast script writes thousands of lines a second: each piece the window shows is laid out
    // anew, and each wake-up of this thread for one line would cost the script's processes time.
    // So does each wake-up of the window's thread under Wine: ten a second made a job of 200
    // pairs a tenth slower than one a second.
    constexpr int kIntervalMs = 500;
    const auto tell = [this] {
        bool post = false;
        {
            const std::lock_guard<std::mutex> hold(inbox_.lock);
            post = !std::exchange(inbox_.posted, true);
        }
        if (post)
            post_([self = self_] {
                if (*self)
                    (*self)->TakeOutput();
            });
    };
    std::string out, err;
    for (bool open = true; open;) {
        open = process_.Gather(out, err, kIntervalMs);
        if (!out.empty()) {
            {
                const std::lock_guard<std::mutex> hold(inbox_.lock);
                inbox_.output += out;
            }
            out.clear();
            tell();
        }
    }
    const int status = process_.Wait().exitStatus;
    {
        const std::lock_guard<std::mutex> hold(inbox_.lock);
        inbox_.ended = true;
        inbox_.exitStatus = status;
    }
    tell();
}

void StampConsole::TakeOutput() {
    bool ended = false;
    int status = -1;
    std::string output;
    {
        const std::lock_guard<std::mutex> hold(inbox_.lock);
        output.swap(inbox_.output);
        ended = std::exchange(inbox_.ended, false);
        status = inbox_.exitStatus;
        inbox_.posted = false;
    }
    if (!running_)
        return;
    partial_ += output;
    // Counted line by line, shown in one piece: each piece the window shows is laid out anew.
    std::size_t start = 0, end = 0, counted = 0;
    const auto take = [&](std::string_view line) {
        if (tally_.Take(line))
            ++counted;
        if (engine::IsCreationNoteLine(line))
            creationNote_ = true;
        if (line.find_first_not_of(" \t\r") != line.npos)
            lastLine_.assign(line);
    };
    while ((end = partial_.find('\n', start)) != std::string::npos) {
        take(std::string_view(partial_).substr(start, end - start));
        start = end + 1;
    }
    if (ended && start < partial_.size()) {
        take(std::string_view(partial_).substr(start));
        partial_ += '\n';
        start = partial_.size();
    }
    if (start > 0) {
        view_.Append(OutputText(std::string_view(partial_.data(), start - 1)));
        partial_.erase(0, start);
    }
    if (counted > 0)
        view_.Progress(done_ = std::min(calls_, done_ + counted));
    if (ended)
        Finish(status);
}

void StampConsole::Finish(int exitStatus) {
    JoinReader();
    running_ = false;
    // A batch file's exit status is its last program's, a failed last Stamplet call's too: only
    // the done line, printed after every stamp line, tells that the script ran to its end. A
    // negative status is a process that did not end of itself: killed by a signal, or on Windows
    // ended with the status code of an exception or a break.
    outcome_ = tally_.Outcome();
    outcome_.finished = exitStatus >= 0 && engine::IsDoneLine(lastLine_) && !stopped_;
    outcome_.stopped = stopped_;
    std::string summary = text::kConsoleSummary;
    for (const unsigned count : {outcome_.changed, outcome_.cannotChange, outcome_.notFound})
        summary = engine::messages::Filled(summary.c_str(), std::to_string(count));
    if (outcome_.stopped)
        summary += std::string("\r") + text::kConsoleStopped +
                   engine::messages::Filled(
                       text::kConsoleNotReached,
                       std::to_string(targets_ - std::min(targets_, outcome_.reached)));
    else if (!outcome_.finished)
        summary += std::string("\r") + text::kConsoleInterrupted;
    // A stopped run set no last-write time of the targets it never reached.
    if (creationNote_)
        summary += std::string("\r") + (outcome_.stopped ? engine::messages::kCreationLeftAlone
                                                         : engine::messages::kCreationNotKept);
    if (!note_.empty())
        summary += "\r" + note_;
    view_.End(summary);
    // The run's end may start a new run from its message box; hand over a fresh callback slot.
    auto ended = std::move(ended_);
    ended_ = nullptr;
    if (ended)
        ended(outcome_);
}

void StampConsole::Stop() {
    if (!running_)
        return;
    // The interpreter is asked to end before its next file: the Stamplet calls of the file in
    // progress run to their end, and their output still reaches the console.
    stopped_ = !process_.Stop();
}

void StampConsole::JoinReader() {
    if (reader_.joinable())
        reader_.join();
}

void StampConsole::WaitForEnd() {
    if (!running_)
        return;
    JoinReader();
    TakeOutput();
}

bool StampConsole::DropEnd() {
    // Destroyed here, what the end would have been handed to goes with it.
    return std::exchange(ended_, nullptr) != nullptr;
}

void StampConsole::Abandon() {
    if (!running_)
        return;
    JoinReader();
    running_ = false;
    ended_ = nullptr;
}

} // namespace form
