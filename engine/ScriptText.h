#pragma once

// The fixed texts that both dialects of the stamp script share.

#include "KronaloVersion.h"

namespace engine::script_text {

/// The lines naming the program that wrote the script, after the dialect's comment marker.
inline constexpr const char* kBatchCreatedBy =
    "This batch file was created by Kronalo " KRONALO_VERSION_TEXT ".";
inline constexpr const char* kShellCreatedBy =
    "This script was created by Kronalo " KRONALO_VERSION_TEXT ".";
inline constexpr const char* kCopyright = "Copyright (c) 2026 the Kronalo developers.";
inline constexpr const char* kContact = "Contact: kronalo@example.org";

/// Shown in the console when every stamp line has run (UTF-8; the batch dialect converts it).
inline constexpr const char* kDone =
    "Päivämäärät ja ajat asetettu tiedostoihin. Varmista vielä kansionäkymästä, että päivämäärät "
    "menivät oikein. Voit sulkea tämän ikkunnan.";

} // namespace engine::script_text
