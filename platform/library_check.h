#pragma once

// The look a library file gets before the system's loader maps it. It needs the C and C++ run-time
// libraries alone: the program's launcher compiles it too, and runs it before any library of the program
// folder is there.

#include <string>

namespace carlume {

/// Why the library file at `path` must not be mapped: "the file is truncated" when it is shorter than a
/// loadable segment its headers declare, "the file's headers are damaged", or the system's reason when it
/// cannot be read. "" when it holds every loadable segment, and also for what the loader refuses by itself
/// without mapping anything: a missing file, a file that is no ELF file, one of another class or byte order.
std::string DamagedLibraryReason(const std::string& path);

/// The system loader's text of why `path` did not load, without the path it starts with when it names the
/// file itself (every message that shows it names the path already); `fallback` when there is none.
std::string LoaderReason(const std::string& path, const char* loaderText, const char* fallback);

} // namespace carlume
