#include "engine/TimeCopyRun.h"

#include "engine/FileInfo.h"
#include "engine/Messages.h"
#include "engine/Names.h"

#include <algorithm>

namespace engine {

std::error_code TRunSurroundings::WriteScript(const std::string& path, std::string_view bytes,
                                              platform::WriteStage& stage) {
    return platform::ReplaceFileAtomically(path, bytes, stage);
}

bool TRunSurroundings::DeleteScript(const std::string& path) {
    return !platform::RemoveFile(path);
}

namespace {

bool IsBlank(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) <= 32; });
}

bool AnySelected(const ListState& list) {
    return std::find(list.selected.begin(), list.selected.end(), true) != list.selected.end();
}

void DeleteAfterRun(TRunSurroundings& surroundings, const std::string& path) {
    if (!surroundings.DeleteScript(path))
        surroundings.ShowInformation(messages::ScriptNotDeleted(path));
}

void FinishRun(TRunSurroundings& surroundings, const std::string& path,
               const ScriptOutcome& outcome) {
    surroundings.Beep();
    if (outcome.finished && outcome.cannotChange == 0 && outcome.notFound == 0)
        surroundings.ShowInformation(messages::kDone);
    else
        surroundings.ShowInformation(messages::NotAllStamped(
            outcome.finished, outcome.changed, outcome.cannotChange, outcome.notFound));
    // Only now does nothing read the script any more.
    DeleteAfterRun(surroundings, path);
}

} // namespace

RunEnd RunTimeCopy(TRunSurroundings& surroundings, const RunContext& context) {
    const FieldTexts fields = surroundings.ReadFields();
    if (IsBlank(fields.targetPattern)) {
        surroundings.ShowInformation(messages::kBlankPattern);
        return RunEnd::Stopped;
    }

    ListState list = surroundings.ReadList();
    if (list.items.empty()) {
        surroundings.ShowInformation(messages::EmptyList(fields.filter));
        return RunEnd::Stopped;
    }
    if (!AnySelected(list)) {
        if (surroundings.AskYesNo(messages::kNothingSelected) == Answer::No)
            return RunEnd::Stopped;
        surroundings.SelectAll();
        list = surroundings.ReadList();
    }

    const StampScript& script = context.script;
    if (!script.CarriesUnchanged(list.folder)) {
        surroundings.ShowInformation(messages::ListFolderNotCarried(list.folder));
        return RunEnd::Stopped;
    }
    if (!script.CarriesUnchanged(context.programFolder)) {
        surroundings.ShowInformation(messages::ProgramFolderNotCarried(context.programFolder));
        return RunEnd::Stopped;
    }

    // One offset for the whole run: every source is turned into local time the same way, even
    // when the run crosses a change of daylight-saving time.
    const FixedZone runZone(context.zone.OffsetNow());
    std::vector<StampItem> items;
    for (std::size_t i = 0; i < list.items.size(); ++i) {
        if (i >= list.selected.size() || !list.selected[i])
            continue;
        const std::string& name = list.items[i];
        StampItem item;
        item.targetName = MakeTargetName(name, fields.targetPattern);
        if (item.targetName == name) {
            surroundings.ShowInformation(messages::TargetIsSource(name));
            return RunEnd::Stopped;
        }
        // The stem goes into the target name, where Stamplet would read * and ? as wildcards
        // and stamp other files too; a ? the user typed into the pattern keeps its meaning.
        if (fields.targetPattern.find('*') != std::string::npos &&
            StripExtension(name).find_first_of("*?") != std::string::npos) {
            surroundings.ShowInformation(messages::SourceNameIsMask(name));
            return RunEnd::Stopped;
        }
        if (!script.CarriesUnchanged(item.targetName)) {
            surroundings.ShowInformation(messages::TargetNotCarried(name, item.targetName));
            return RunEnd::Stopped;
        }
        TDateTime lastAccess = 0;
        if (!TFileInfo(name, runZone)
                 .ReadFileTimes(item.creationTime, lastAccess, item.lastWriteTime)) {
            surroundings.ShowInformation(messages::TimesUnreadable(name));
            return RunEnd::Stopped;
        }
        items.push_back(std::move(item));
    }

    const std::string path = script.ScriptPath(list.folder);
    platform::WriteStage stage = platform::WriteStage::Create;
    if (const std::error_code error = surroundings.WriteScript(
            path, script.Compose(list.folder, context.programFolder, items), stage)) {
        surroundings.ShowError(stage == platform::WriteStage::Create
                                   ? messages::CannotCreateFile(path)
                                   : error.message());
        return RunEnd::NotWritten;
    }
    surroundings.ShowInformation(messages::kScriptWritten);

    const bool started = surroundings.StartScript(
        path, list.folder, items.size() * 2, [&surroundings, path](const ScriptOutcome& outcome) {
            FinishRun(surroundings, path, outcome);
        });
    if (!started) {
        surroundings.ShowInformation(messages::ScriptNotStarted(path));
        DeleteAfterRun(surroundings, path);
        return RunEnd::NotStarted;
    }
    return RunEnd::Started;
}

} // namespace engine
