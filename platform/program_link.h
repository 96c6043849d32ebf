#pragma once

// Reading the running program's file from the link the system keeps of it ("/proc/self/exe"). It needs the
// C and C++ run-time libraries alone: the program's launcher compiles it too, to find the program folder
// before any library of it is loaded.

#include <string>
#include <string_view>

namespace carlume {

/// Why the run cannot go on without its own folder; filled with the link read and the system's reason.
inline constexpr std::string_view SNoProgramFolder = "The program's folder cannot be found from %s: %s.";

/// The absolute path the link `link` names. "" when it cannot be read or names a relative path (which would
/// put the program's libraries below the current folder), with `failure` set to `SNoProgramFolder` filled in.
std::string ReadProgramLink(const std::string& link, std::string& failure);

} // namespace carlume
