#pragma once

// Files of the user's own whose names look like temporaries, planted next to what the program writes: no
// write may take them, whatever the run.

#include "tests/support/scratch_folder.h"

#include <filesystem>
#include <string>
#include <vector>

namespace carlume::test {

/// A dated backup and a numbered draft (the shape of temporaries of earlier versions, with numbers that
/// are no running process), then near misses of the program's own temporaries.
inline const std::vector<std::string> kUserLookalikes = {
    "quote.20240101.backup.tmp",          "report.4000000.draft1.tmp",
    ".report.~carlume.4000000.draft.tmp", "report.~carlume.4000000.draft1.tmp",
    ".~carlume.4000000.draft1.tmp",       ".report.~carlume.4000000.draft1.tmp.old",
};

/// Puts every lookalike into `folder`, each holding its own name.
inline void PlantUserLookalikes(const std::string& folder)
{
    for (const auto& name : kUserLookalikes)
        WriteAll(folder + "/" + name, name);
}

/// The lookalikes in `folder` that are gone or changed.
inline std::vector<std::string> LostUserLookalikes(const std::string& folder)
{
    std::vector<std::string> lost;
    for (const auto& name : kUserLookalikes)
        if (!std::filesystem::is_regular_file(folder + "/" + name) || ReadAll(folder + "/" + name) != name)
            lost.push_back(name);
    return lost;
}

} // namespace carlume::test
