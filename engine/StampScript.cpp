#include "engine/StampScript.h"

#include "engine/ScriptText.h"
#include "engine/StampFormat.h"

namespace engine {

std::string StampScript::StampletPath(const std::string& programFolder) const {
    return programFolder + StampletName();
}

ComposedScript StampScript::Compose(const std::string& listFolder, const std::string& programFolder,
                                    const std::vector<StampItem>& items) const {
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
        names += item.targetName.size() + 4;
    s.reserve(s.size() + 512 + StampCalls(items) * (stamplet.size() + 40) + 2 * names);
    // The time the target must still carry for the next line, where the item has a guard.
    std::optional<TDateTime> expected;
    const auto stamp = [&](const char* slot, TDateTime time, const std::string& target) {
        s += stamplet;
        if (expected) {
            s += " /IF ";
            s += FormatStampDate(*expected);
            s += ' ';
            s += FormatStampTime(*expected);
            // Every Stamplet call sets the last-write time: the next line finds this one's.
            expected = time;
        }
        s += slot;
        s += FormatStampDate(time);
        s += " /T ";
        s += FormatStampTime(time);
        s += ' ';
        s += target;
        s += LineEnd();
    };
    for (const StampItem& item : items) {
        const std::string target = MaskWord(item.targetName, environment);
        expected = item.ifLastWrite;
        if (item.stampCreation || !LeavesOutUselessCreationLines())
            stamp(" /C /D ", item.creationTime, target);
        if (item.lastAccessTime)
            stamp(" /A /D ", *item.lastAccessTime, target);
        stamp(" /W /D ", item.lastWriteTime, target);
        line("");
    }
    line(EchoEmpty());
    line(Echo(script_text::kDone));
    line(EchoEmpty());
    return composed;
}

std::size_t StampScript::StampCalls(const std::vector<StampItem>& items) const {
    std::size_t calls = 0;
    for (const StampItem& item : items)
        calls += (item.stampCreation || !LeavesOutUselessCreationLines() ? 2 : 1) +
                 (item.lastAccessTime ? 1 : 0);
    return calls;
}

std::unique_ptr<StampScript> MakeStampScript(platform::CommandShell shell) {
    return shell == platform::CommandShell::Cmd ? MakeBatchScript() : MakeShellScript();
}

} // namespace engine
