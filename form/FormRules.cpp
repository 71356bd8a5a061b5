#include "form/FormRules.h"

#include "engine/Messages.h"
#include "form/FileListing.h"
#include "form/FormText.h"
#include "form/WindowLayout.h"
#include "platform/CommandShell.h"
#include "platform/DirectorySearch.h"
#include "platform/FileTimes.h"
#include "platform/Folders.h"
#include "platform/HeldFile.h"
#include "platform/ProgramPath.h"
#include "platform/RegularFile.h"

namespace form {

const char* AnswerWithoutWindow(const std::vector<std::string>& arguments) {
    // Only the first argument: a path after other arguments is never taken for an option.
    if (arguments.empty())
        return nullptr;
    if (arguments.front() == "--help")
        return text::kUsage;
    if (arguments.front() == "--version")
        return text::kVersionLine;
    return nullptr;
}

QuestionButtons ButtonsOf(std::string_view question) {
    if (question == engine::messages::kNothingSelected)
        return {text::kYes, text::kNo};
    return {text::kYesOwn, text::kNoOwn};
}

TFormRules::TFormRules(TFormView& view, FileListState& list, FormSetup setup)
    : view_(view), list_(list), setup_(std::move(setup)),
      script_(engine::MakeStampScript(platform::NativeCommandShell())), runs_(view) {
    view.Console().Connect([this] { Console().Stop(); }, [this] { return ConsoleCloseQuery(); });
}

bool TFormRules::ConsoleCloseQuery() {
    return runs_.ConsoleCloseQuery();
}

TFormRules::~TFormRules() = default;

void TFormRules::FormCreate() {
    view_.SetTreeChangeDelay(layout::kTreeChangeDelay);
    std::string state;
    if (!setup_.recordFolder.empty())
        records_ = engine::RunRecords(setup_.recordFolder);
    else if (const std::error_code noStateFolder = platform::UserStateFolder(state); !noStateFolder)
        records_ = engine::RunRecords(platform::JoinPath(state, "Kronalo"));
    std::string ownFolder;
    if (const std::error_code unknown = platform::ExecutableFolder(ownFolder))
        ownFolder.clear();
    programFolder_ = setup_.programFolder.empty() ? ownFolder : setup_.programFolder;
    settingsPath_ = setup_.settingsPath;
    if (settingsPath_.empty()) {
        const bool writable = !ownFolder.empty() && platform::CanWriteIn(ownFolder);
        settingsPath_ =
            form::SettingsPath(ownFolder, writable, setup_.installedFolder, setup_.configFolder);
    }
    LoadSettings();
}

void TFormRules::FormShow() {
    if (setup_.arguments.empty())
        return;
    const std::string folder = FolderOfArgument(setup_.arguments.front());
    if (!platform::IsFolder(folder))
        return;
    list_.MoveTo(folder);
    view_.SetPathText(folder);
    list_.MoveTo(folder);
    SelectAllIfAsked();
    list_.SetMask(view_.FilterText());
}

void TFormRules::TreeViewChange() {
    list_.MoveTo(view_.TreeSelectedPath());
    view_.ShowInComboBox(list_.Folder());
    view_.SetPathText(list_.Folder());
    SelectAllIfAsked();
    list_.SetMask(view_.FilterText());
}

void TFormRules::PathChange() {
    const std::string text = view_.PathText();
    if (!platform::IsFolder(text))
        return;
    // A relative text is resolved against the list folder of each moment.
    list_.MoveTo(text);
    list_.MoveTo(text);
    SelectAllIfAsked();
    list_.SetMask(view_.FilterText());
}

void TFormRules::PathKeyUp() {
    const std::string text = view_.PathText();
    if (!platform::IsFolder(text) || text.size() <= 2)
        return;
    // The tree only checks that the shell can find the folder; typing moves the list alone.
    if (!view_.TreeCanResolve(text))
        view_.Boxes().ShowError(
            engine::messages::Filled(engine::messages::kErrorSettingPath, text));
}

void TFormRules::FilterChange() {
    list_.SetMask(view_.FilterText());
    SelectAllIfAsked();
}

void TFormRules::SelectAllIfAsked() {
    if (view_.SelectAllChecked())
        view_.SelectAllItems();
}

engine::RunContext TFormRules::Context() const {
    return {programFolder_, *script_, setup_.zone ? *setup_.zone : engine::MachineZone()};
}

bool TFormRules::RunStillGoing() {
    if (!Console().IsRunning())
        return false;
    view_.Boxes().ShowInformation(text::kRunStillGoing);
    return true;
}

void TFormRules::DoItBtnClick() {
    if (RunStillGoing())
        return;
    engine::RunRequest request{{list_.Folder(), list_.Items(), view_.SelectedFlags()},
                               {view_.TargetPattern(), view_.FilterText()}};
    engine::RunContext context = Context();
    if (view_.CurrentSettings().makeReturnFile)
        context.records = &records_;
    runs_.TimeCopy(context, std::move(request));
}

void TFormRules::RestoreEarlierTimes() {
    if (RunStillGoing())
        return;
    runs_.Restore(Context(), list_.Folder(), records_);
}

bool TFormRules::FormCloseQuery() {
    if (Console().IsRunning()) {
        // The script is never deleted while it runs: closing waits for it or does not happen.
        if (view_.Boxes().Ask(text::kWaitBeforeClosing) == Answer::No)
            return false;
        Console().WaitForEnd();
    }
    SaveSettings();
    return true;
}

void TFormRules::SessionEnds() {
    Console().Abandon();
    runs_.DropUnfinished();
    SaveSettings();
}

void TFormRules::LoadSettings() {
    platform::FileTimeSet exists;
    if (const std::error_code missing = platform::StatFileTimes(settingsPath_, exists)) {
        SaveSettings();
        return;
    }
    // Only a regular file is read, and only its first bytes: a link to a device, a FIFO or a huge
    // file must not hold up the window's start.
    std::string text;
    if (const std::error_code unreadable =
            platform::ReadRegularFile(settingsPath_, kLongestSettingsFile, text)) {
        view_.Boxes().ShowError(
            engine::messages::Filled(engine::messages::kCannotOpenFile, settingsPath_));
        return;
    }
    if (const auto error = ApplySettings(text, view_))
        view_.Boxes().ShowError(*error);
}

void TFormRules::SaveSettings() {
    // The user's configuration folder may not be there yet; written beside the old file and
    // moved into place, a crash never leaves half a file.
    const bool inConfigFolder =
        !setup_.configFolder.empty() &&
        settingsPath_ == platform::JoinPath(setup_.configFolder, kSettingsFileName);
    platform::HeldFile file;
    if ((inConfigFolder && platform::CreateFolders(setup_.configFolder)) ||
        file.Write(settingsPath_, FormatSettings(view_.CurrentSettings())))
        view_.Boxes().ShowError(
            engine::messages::Filled(engine::messages::kCannotCreateFile, settingsPath_));
}

} // namespace form
