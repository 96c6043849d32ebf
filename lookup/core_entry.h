#pragma once

// The entry of the core library, libcarlume_core.so in the program folder. The program file cquery links
// none of the program folder's libraries: it looks at the core's file first, loads it by its full path and
// calls this one C function, so that a core cut short ends the run with a message instead of a fault inside
// the system's loader.

namespace carlume {

/// The core library's file in the program folder.
inline constexpr const char* CoreLibraryFileName = "libcarlume_core.so";
/// The name of the core's entry.
inline constexpr const char* CoreEntryName = "CarlumeCoreMain";
/// The entry: the whole process after the program's start, `ProgramMainBlock(argc, argv)` of
/// lookup/carquery.h; returns the exit status.
using TCoreEntry = int (*)(int argc, const char* const* argv) noexcept;

} // namespace carlume

extern "C" int CarlumeCoreMain(int argc, const char* const* argv) noexcept;
