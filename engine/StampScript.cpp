#include "engine/StampScript.h"

namespace engine {

std::unique_ptr<StampScript> MakeStampScript(platform::CommandShell shell) {
    return shell == platform::CommandShell::Cmd ? MakeBatchScript() : MakeShellScript();
}

} // namespace engine
