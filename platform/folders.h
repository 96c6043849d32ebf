#pragma once

// The folders the program works with, in their Linux places:
//   program file      /proc/self/exe
//   Windows folder    $WINDIR, else ${XDG_CONFIG_HOME:-$HOME/.config}/carlume; created on first use
//   temporary folder  $TMPDIR, else /tmp/
//   rating program    /opt/Qelvo/
// Each can be overridden in-process for tests with ScopedFolderOverride.

#include <optional>
#include <string>

namespace carlume {

/// Full path of the running program file.
std::string ProgramFileName();
/// Folder of the running program file, with a trailing "/".
std::string ProgramFolder();
/// The Windows folder as the system reports it: no trailing "/". Created (with its parents) when missing;
/// a failure to create it shows only when a file is written there.
std::string WindowsFolder();
/// The temporary folder, with a trailing "/".
std::string TempFolder();
/// The rating program's folder, with a trailing "/".
std::string RatingProgramFolder();

/// The folders that can be overridden.
enum class TFolder {
    ProgramFile,   ///< the full path of the program file (its folder follows)
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
