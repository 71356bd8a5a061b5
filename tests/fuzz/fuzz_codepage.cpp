// The console code-page conversions: the round trip gives back every byte the table carries and
// drops exactly the others.

#include "engine/CodePage.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string ansi(reinterpret_cast<const char*>(data), size);
    std::string kept;
    for (const char c : ansi) {
        const auto byte = static_cast<unsigned char>(c);
        bool inTable = byte <= 128;
        for (const auto& pair : engine::kCodePageTable)
            inTable = inTable || pair.ansi == byte;
        if (inTable)
            kept += c;
    }
    const std::string oem = engine::AnsiToOemText(ansi);
    if (engine::OemToAnsiText(oem) != kept || oem.size() != kept.size() ||
        engine::LosesCharactersInOem(ansi) != (kept.size() != ansi.size()))
        std::abort();
    return 0;
}
