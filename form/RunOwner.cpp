#include "form/RunOwner.h"

#include "form/FormText.h"

#include <utility>
#include <variant>

namespace form {

RunOwner::RunOwner(TFormView& view)
    : view_(view), console_(view.Console(),
                            [&view](std::function<void()> work) { view.Post(std::move(work)); }) {}

RunOwner::~RunOwner() {
    // A script still running is waited for before its run goes, so that it is never cut short.
    console_.Abandon();
}

void RunOwner::Show(const engine::Box& box) {
    if (box.kind == engine::Box::Kind::Error)
        view_.Boxes().ShowError(box.text);
    else if (!box.details.empty())
        view_.Boxes().ShowWithDetails(box.text, box.details);
    else
        view_.Boxes().ShowInformation(box.text);
}

engine::RunEnd RunOwner::TimeCopy(const engine::RunContext& context, engine::RunRequest request) {
    engine::Prepared prepared = engine::PrepareTimeCopy(context, request);
    if (const auto* question = std::get_if<engine::Question>(&prepared)) {
        if (view_.Boxes().Ask(question->text) == Answer::No)
            return engine::RunEnd::Stopped;
        view_.SelectAllItems();
        request.list.selected.assign(request.list.items.size(), true);
        prepared = engine::PrepareTimeCopy(context, request);
    }
    if (const auto* stop = std::get_if<engine::Box>(&prepared)) {
        Show(*stop);
        return engine::RunEnd::Stopped;
    }
    if (!std::holds_alternative<std::unique_ptr<engine::ScriptRun>>(prepared))
        return engine::RunEnd::Stopped;
    return Launch(context, std::move(std::get<std::unique_ptr<engine::ScriptRun>>(prepared)));
}

engine::RunEnd RunOwner::Restore(const engine::RunContext& context, const std::string& listFolder,
                                 const engine::RunRecords& records) {
    engine::RestoreChoice choice(context, listFolder, records);
    for (const engine::Box& box : choice.told)
        Show(box);
    if (choice.stop) {
        Show(*choice.stop);
        return engine::RunEnd::Stopped;
    }
    using Offer = engine::RestoreChoice::Offer;
    for (;;) {
        const Offer offer = choice.Next();
        if (offer.kind != Offer::Kind::Ask) {
            view_.Boxes().ShowInformation(offer.text);
            if (offer.kind == Offer::Kind::End)
                return engine::RunEnd::Stopped;
            continue;
        }
        // Only Yes restores: a box closed otherwise leaves the targets as they are.
        const Answer answer = view_.Boxes().Ask(offer.text);
        if (answer == Answer::Yes)
            return Launch(context, choice.Take());
        if (answer == Answer::Closed || !offer.earlier)
            return engine::RunEnd::Stopped;
    }
}

engine::RunEnd RunOwner::Launch(const engine::RunContext& context,
                                std::unique_ptr<engine::ScriptRun> owned) {
    engine::ScriptRun& run = *runs_.emplace_back(std::move(owned));
    const engine::Box written = engine::WriteScript(run, context);
    if (written.kind == engine::Box::Kind::Error) {
        Show(written);
        if (const auto unsettled = engine::SettleRecord(run, false))
            Show(*unsettled);
        Forget(run);
        return engine::RunEnd::NotWritten;
    }
    Show(written);
    auto launch = engine::LaunchOf(run, context);
    if (const auto* why = std::get_if<engine::Box>(&launch))
        return NotStarted(run, *why);
    if (!console_.Start(std::get<engine::ScriptLaunch>(launch),
                        [this](const engine::ScriptOutcome& outcome) { Ended(outcome); }))
        return NotStarted(run, engine::Box::Information(engine::messages::ScriptNotStarted(
                                   context.script.ScriptPath(run.folder.Path()))));
    running_ = &run;
    if (const auto unsettled = engine::SettleRecord(run, true))
        Show(*unsettled);
    return engine::RunEnd::Started;
}

engine::RunEnd RunOwner::NotStarted(engine::ScriptRun& run, const engine::Box& why) {
    Show(why);
    if (const auto undeleted = engine::DeleteScript(run))
        Show(*undeleted);
    if (const auto unsettled = engine::SettleRecord(run, false))
        Show(*unsettled);
    Forget(run);
    return engine::RunEnd::NotStarted;
}

bool RunOwner::ConsoleCloseQuery() {
    if (!console_.IsRunning())
        return true;
    askingStop_ = true;
    const Answer answer = view_.Boxes().Ask(text::kStopOrWait);
    askingStop_ = false;
    if (answer == Answer::Yes)
        console_.Stop();
    return false;
}

void RunOwner::Ended(const engine::ScriptOutcome& outcome) {
    // The run's end settles the question whether to stop it; a run the final box starts asks
    // its own.
    if (std::exchange(askingStop_, false))
        view_.Boxes().CloseQuestion();
    // The final box may start the next run before this one is forgotten.
    engine::ScriptRun* run = std::exchange(running_, nullptr);
    if (!run)
        return;
    view_.Beep();
    const engine::Verdict verdict = engine::Judge(*run, outcome);
    view_.Boxes().ShowInformation(verdict.text);
    for (const engine::Box& box : verdict.after)
        Show(box);
    // Only now does nothing read the script any more.
    if (const auto undeleted = engine::DeleteScript(*run))
        Show(*undeleted);
    Forget(*run);
}

void RunOwner::Forget(const engine::ScriptRun& run) {
    runs_.remove_if([&run](const auto& each) { return each.get() == &run; });
}

std::size_t RunOwner::DropUnfinished() {
    std::size_t dropped = 0;
    for (const auto& run : runs_)
        dropped += run->Finish() ? 1 : 0;
    return dropped;
}

} // namespace form
