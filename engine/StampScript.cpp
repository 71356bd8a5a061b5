#include "engine/StampScript.h"

#include "engine/ScriptText.h"
#include "engine/StampFormat.h"

namespace engine {

std::string StampScript::StampletPath(const std::string& programFolder) const {
    return programFolder + StampletName();
}

namespace {

/// One Stamplet call: the guard where the item has one, the slot switch, the time, the mask word.
void AddCall(std::string& s, const std::string& stamplet, std::optional<TDateTime> guard,
             const char* slot, TDateTime time, const std::string& target, const char* end) {
    s += stamplet;
    if (guard) {
        s += " /IF ";
        s += FormatStampDate(*guard);
        s += ' ';
        s += FormatStampTime(*guard);
    }
    s += slot;
    s += FormatStampDate(time);
    s += " /T ";
    s += FormatStampTime(time);
    s += ' ';
    s += target;
    s += end;
}

} // namespace

void StampScript::AddStampLines(std::string& s, const std::string& stamplet, const StampItem& item,
                                const std::string& target) const {
    // Every Stamplet call sets the last-write time: where the item has a guard, each later call
    // expects the time the call before it set.
    std::optional<TDateTime> guard = item.ifLastWrite;
    const auto call = [&](const char* slot, TDateTime time) {
        AddCall(s, stamplet, guard, slot, time, target, LineEnd());
        if (guard)
            guard = time;
    };
    if (item.stampCreation || !LeavesOutUselessCreationLines())
        call(" /C /D ", item.creationTime);
    if (item.lastAccessTime)
        call(" /A /D ", *item.lastAccessTime);
    call(" /W /D ", item.lastWriteTime);
    s += StopCheck();
    s += LineEnd();
    s += LineEnd();
}

ComposedScript StampScript::Compose(const std::string& listFolder, const std::string& programFolder,
                                    const std::vector<StampItem>& items,
                                    const TargetPlaces* places) const {
    ComposedScript composed;
    std::string& s = composed.bytes;
    ScriptEnvironment& environment = composed.environment;
    const auto line = [&s, end = LineEnd()](std::string_view text) {
        s += text;
        s += end;
    };
    line(FirstLine());
    line("");
    for (const char* comment : {CreatedBy(), script_text::kCopyright, script_text::kContact})
        line(std::string(CommentMarker()) + comment);
    for (const std::string& folderLine : FolderLines(listFolder, environment))
        line(folderLine);
    line("");
    const std::string stamplet = Quote(StampletPath(programFolder), environment);
    // Grown once: a script of many thousand lines would otherwise be copied at every doubling.
    std::size_t names = 0;
    for (const StampItem& item : items)
        names += item.targetName.size() + 40;
    s.reserve(s.size() + 512 + StampCalls(items) * (stamplet.size() + 40) + 2 * names);
    const bool throughHeld = places && ReachesHeldFolders();
    for (const StampItem& item : items)
        AddStampLines(
            s, stamplet, item,
            MaskWord(throughHeld ? places->PassedPathOf(item.targetName) : item.targetName,
                     environment));
    line(EchoEmpty());
    line(Echo(script_text::kDone));
    line(EchoEmpty());
    return composed;
}

std::size_t StampScript::CallsOf(const StampItem& item) const {
    return (item.stampCreation || !LeavesOutUselessCreationLines() ? 2 : 1) +
           (item.lastAccessTime ? 1 : 0);
}

std::size_t StampScript::StampCalls(const std::vector<StampItem>& items) const {
    std::size_t calls = 0;
    for (const StampItem& item : items)
        calls += CallsOf(item);
    return calls;
}

std::vector<std::size_t> StampScript::CallsPerTarget(const std::vector<StampItem>& items) const {
    std::vector<std::size_t> calls;
    calls.reserve(items.size());
    for (const StampItem& item : items)
        calls.push_back(CallsOf(item));
    return calls;
}

std::unique_ptr<StampScript> MakeStampScript(platform::CommandShell shell) {
    return shell == platform::CommandShell::Cmd ? MakeBatchScript() : MakeShellScript();
}

} // namespace engine
