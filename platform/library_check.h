#pragma once

// The look a library file gets before the system's loader maps it. It needs the C and C++ run-time
// libraries alone: the program's launcher compiles it too, and runs it before any library of the program
// folder is there.

#include <string>

namespace carlume {

/// Why the library file at `path` (a link is followed) must not be handed to the system's loader: that it
/// is a folder, a named pipe, a device or a socket rather than a file; "the file is for another kind of
/// machine" when its class, byte order or machine is not this program's; "the file is truncated" when it is
/// shorter than a loadable segment its headers declare; "the file's headers are damaged" when they do not fit
/// together (a segment whose memory is smaller than its file part, a dynamic section outside the loadable
/// segments' file parts); "the file's dynamic section is damaged" when that section has no end or does not
/// name its symbol and string tables inside them; or the system's reason when it cannot be read. "" when
/// none of these holds, and also for what the loader refuses by itself without mapping anything: a missing
/// file, a file that is no ELF file.
std::string DamagedLibraryReason(const std::string& path);

/// The system loader's text of why `path` did not load, without the path it starts with when it names the
/// file itself (every message that shows it names the path already); `fallback` when there is none.
std::string LoaderReason(const std::string& path, const char* loaderText, const char* fallback);

} // namespace carlume
