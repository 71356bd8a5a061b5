#include "form/RunOwner.h"

#include "form/FormText.h"

#include <memory>
#include <optional>
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
    const auto* question = std::get_if<engine::Question>(&prepared);
    if (!question)
        return Launch(context, std::move(prepared));
    if (view_.Boxes().Ask(question->text) == Answer::No)
        return engine::RunEnd::Stopped;
    view_.SelectAllItems();
    request.list.selected.assign(request.list.items.size(), true);
    return Launch(context, engine::PrepareTimeCopy(context, request));
}

engine::RunEnd RunOwner::Launch(const engine::RunContext& context, engine::Prepared prepared) {
    if (const auto* stop = std::get_if<engine::Box>(&prepared)) {
        Show(*stop);
        return engine::RunEnd::Stopped;
    }
    if (!std::holds_alternative<engine::PreparedRun>(prepared))
        return engine::RunEnd::Stopped;
    return Launch(context, std::move(std::get<engine::PreparedRun>(prepared)));
}

engine::RunEnd RunOwner::Restore(const engine::RunContext& context, const std::string& listFolder,
                                 const engine::RunRecords& records) {
    auto opened = engine::RestoreChoice::Open(context, listFolder, records);
    if (const auto* stop = std::get_if<engine::Box>(&opened)) {
        Show(*stop);
        return engine::RunEnd::Stopped;
    }
    engine::RestoreChoice& choice = std::get<engine::RestoreChoice>(opened);
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

engine::RunEnd RunOwner::Launch(const engine::RunContext& context, engine::PreparedRun prepared) {
    // The started run lives in the console's end handler: the console alone knows that a script
    // runs, and the script's end, whenever it is handled, finds its run there.
    auto held = std::make_shared<std::optional<engine::StartedRun>>();
    const engine::ChainHands hands{
        [this](const engine::Box& box) { Show(box); },
        [this](const engine::Box& box, engine::ScriptRun& run) {
            confirmed_ = &run;
            return view_.Boxes().Confirm(box.text, box.details);
        },
        [this, held](const engine::ScriptLaunch& launch) {
            return console_.Start(launch, [this, held](const engine::ScriptOutcome& outcome) {
                if (!*held)
                    return;
                engine::StartedRun run = std::move(**held);
                held->reset();
                Ended(std::move(run), outcome);
            });
        },
        [this, held](engine::StartedRun started) {
            confirmed_ = nullptr;
            held->emplace(std::move(started));
        }};
    const engine::RunEnd end = engine::StartRun(std::move(prepared), context, hands);
    confirmed_ = nullptr;
    return end;
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

void RunOwner::Ended(engine::StartedRun run, const engine::ScriptOutcome& outcome) {
    // Judged, and its script deleted, before the window is touched: a window whose display has
    // gone ends the process at its next call there, and the run in hand would go unended.
    const engine::Verdict verdict = engine::End(std::move(run), outcome);
    // The run's end settles the question whether to stop it; a run the final box starts asks
    // its own.
    if (std::exchange(askingStop_, false))
        view_.Boxes().CloseQuestion();
    view_.Beep();
    view_.Boxes().ShowInformation(verdict.text);
    for (const engine::Box& box : verdict.after)
        Show(box);
}

std::size_t RunOwner::DropUnfinished() {
    std::size_t dropped = console_.DropEnd() ? 1 : 0;
    // A process ended from a box's event loop never unwinds the chain that waits on the box.
    if (confirmed_) {
        engine::TakeDown(*confirmed_, console_.IsRunning());
        confirmed_ = nullptr;
        dropped = 1;
    }
    return dropped;
}

} // namespace form
