#pragma once

// The installation's version facts: the versions of the program files beside the program, the rating
// product's installation ID and the version files (".ver", INI: [General] BuildDate and Description) in
// and below the program folder. The details window shows them; this is the part that needs no window.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace carlume {

/// Reads [General] BuildDate (as mm/dd/yyyy, "" when shorter than eight characters) and Description, cut
/// to kMaxShownDescription + 1 characters; false, outputs untouched, when the file is missing or cannot be
/// opened. A file too large to read, or for the memory available, raises `EFOpenError` naming it.
bool ReadVersionFile(const std::string& path, std::string& buildDate, std::string& description);
/// What the details and the cleanup list show of a version file that raised an error when read.
inline constexpr std::string_view kUnreadableVersionFile = "could not be read";
/// The build date of a version file for the cleanup list: as `ReadVersionFile` reads it, or
/// kUnreadableVersionFile when reading it raised; false when the file is missing.
bool ReadCleanupDate(const std::string& path, std::string& buildDate);
/// Empties [General] BuildDate and writes the file back; false when the file is missing. A file that
/// cannot be written raises.
bool ClearVersionBuildDate(const std::string& path);
/// [General] LongACTID of "P5_USER.ver" in `folder` (found without regard to case); "" when there is none.
void ReadInstallationID(const std::string& folder, std::string& id);

/// The version files in and below `programFolder`, relative to it and sorted without regard to case. Only
/// names ending in ".ver" count.
std::vector<std::string> FindVersionFiles(const std::string& programFolder);

/// The most characters of a description the details text shows; a longer one (a damaged or foreign file)
/// is cut there and ends in "...", so that one file cannot make the pane lay out megabytes in one line. It
/// bounds every version line, which is padded to the longest shown text and measured whole.
inline constexpr std::size_t kMaxShownDescription = 1024;

/// The text of the details pane, line by line. A version file that raises an error when read gives, in its
/// place among the version lines, " <path below the program folder> could not be read: <why>", unpadded and
/// without widening the others.
struct TVersionDetails {
    std::vector<std::string> Lines;
    /// The lines of the version-file part (the window measures them).
    std::vector<std::string> VersionLines;
    /// What `FindVersionFiles` found.
    std::vector<std::string> VersionFiles;
};

/// Builds the details text for the installation in `programFolder` (with a trailing "/").
TVersionDetails BuildVersionDetails(const std::string& programFolder);

/// The line of one version file in the cleanup list: " name" padded to `width` cells of a fixed-width font
/// (`Utf8Width`), " - " and the build date.
std::string CleanupLine(const std::string& fileName, std::size_t width, const std::string& buildDate);
/// A cleanup line once its build date is cleared: everything up to and including the " -" of its
/// separator (a "-" in the file name stays).
std::string ClearedCleanupLine(const std::string& line);

} // namespace carlume
