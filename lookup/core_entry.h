#pragma once

// The entry of the core library, libcarlume_core.so in the program folder. The program file cquery links
// none of the program folder's libraries: it removes an earlier run's hand-back file, looks at the core's
// file, loads it by its full path and calls this one C function, so that a core cut short ends the run with
// a message instead of a fault inside the system's loader, and no fault in loading leaves an earlier vehicle.
// What launcher and core share lies here, and nothing of the core's own headers.

#include <string>
#include <string_view>

namespace carlume {

/// The core library's file in the program folder.
inline constexpr const char* CoreLibraryFileName = "libcarlume_core.so";
/// The name of the core's entry.
inline constexpr const char* CoreEntryName = "CarlumeCoreMain";
/// The entry: the whole process after the program's start, `ProgramMainBlock` of lookup/carquery.h;
/// `removedHandBackFile` is the path of the earlier run's hand-back file the launcher found and removed,
/// null when it removed none. Returns the exit status.
using TCoreEntry = int (*)(int argc, const char* const* argv, const char* removedHandBackFile) noexcept;

/// The name of the hand-back file in the data folder.
inline constexpr std::string_view HandBackFileName = "cquery.dat";

/// Why the run cannot go on: an earlier run's hand-back file at `path` is still there, for the system's
/// `reason`.
inline std::string StaleHandBackFileMessage(std::string_view path, std::string_view reason)
{
    return "Unable to delete previous data file " + std::string(path) + ". " + std::string(reason);
}

} // namespace carlume

extern "C" int CarlumeCoreMain(int argc, const char* const* argv, const char* removedHandBackFile) noexcept;
