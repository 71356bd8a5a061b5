#pragma once

#include "engine/RunChain.h"

#include <string>
#include <vector>

namespace engine {

/// The file list as the run reads it.
struct ListState {
    /// The list folder: a full path, as the system's file calls take it.
    std::string folder;
    /// The item names, without folder, in list order.
    std::vector<std::string> items;
    /// One selection flag per item.
    std::vector<bool> selected;
};

/// The texts of the window's fields that the run uses.
struct FieldTexts {
    std::string targetPattern; ///< Used untrimmed.
    std::string filter;        ///< Shown in one message only.
};

/// What the run button hands the run: the list and the fields as they stand.
struct RunRequest {
    ListState list;
    FieldTexts fields;
};

/// Prepares the time-copy run behind the run button: checks the pattern, the list and the
/// selection, holds the list folder, reads each selected source's times and plans the stamp
/// script's items; with `context.records`, records what the run changes. Where nothing is
/// selected, the question comes back: Yes means every item selected, and the run is prepared
/// again with them. Every check that fails stops the run with its box before anything is written.
/// From here on the run works in the folder it holds, whatever becomes of its path.
Prepared PrepareTimeCopy(const RunContext& context, const RunRequest& request);

} // namespace engine
