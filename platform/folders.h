#pragma once

// The folders the program works with, in their Linux places:
//   program file      /proc/self/exe; when the system does not tell it, an error: the current folder is
//                     never taken instead, as libraries are loaded from the program's folder
//   Windows folder    $WINDIR, else ${XDG_CONFIG_HOME:-$HOME/.config}/carlume; created on first use.
//                     Blank and relative values count as unset; without HOME the password database
//                     gives the home folder.
//   temporary folder  $TMPDIR, else /tmp/
//   rating program    /opt/Qelvo/
// Each can be overridden in-process for tests with ScopedFolderOverride.

#include "platform/program_link.h"

#include <optional>
#include <string>
#include <string_view>

namespace carlume {

/// Full path of the running program file. Raises `Exception` `SNoProgramFolder` (platform/program_link.h)
/// when the system cannot tell it.
std::string ProgramFileName();
/// Folder of the running program file, with a trailing "/". Raises as `ProgramFileName` does.
std::string ProgramFolder();

/// The Windows folder as the system reports it: no trailing "/". Created (with its parents) when missing;
/// a failure to create it shows only when a file is written there. Raises `Exception` `SNoWindowsFolder`
/// when the environment and the password database name none.
std::string WindowsFolder();

/// Why the run cannot go on without a Windows folder.
inline constexpr std::string_view SNoWindowsFolder =
    "No folder for the program's settings: WINDIR, XDG_CONFIG_HOME and HOME name no absolute folder, and "
    "the password database has no home folder for this user.";
/// The temporary folder, with a trailing "/".
std::string TempFolder();
/// The rating program's folder, with a trailing "/".
std::string RatingProgramFolder();

/// The folders that can be overridden.
enum class TFolder {
    ProgramFile,   ///< the full path of the program file (its folder follows)
    ProgramLink,   ///< the link the program file is read from, when `ProgramFile` is not overridden
    Windows,       ///< the Windows folder
    Temp,          ///< the temporary folder
    RatingProgram, ///< the rating program's folder
};

/// Sets (or with `std::nullopt` removes) the in-process override of a folder.
void SetFolderOverride(TFolder folder, std::optional<std::string> value);

/// Overrides a folder for its lifetime (tests); the previous value comes back afterwards.
class ScopedFolderOverride {
public:
    /// Overrides `folder` with `value`.
    ScopedFolderOverride(TFolder folder, std::string value);
    ~ScopedFolderOverride();
    ScopedFolderOverride(const ScopedFolderOverride&) = delete;
    ScopedFolderOverride& operator=(const ScopedFolderOverride&) = delete;

private:
    TFolder folder_;
    std::optional<std::string> saved_;
};

} // namespace carlume
