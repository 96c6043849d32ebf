#pragma once

// Path text routines of the run-time library. Paths use "/"; a folder "with a trailing delimiter" ends
// in "/". Nothing here touches the file system.

#include <string>
#include <string_view>

namespace carlume {

/// The path delimiter.
inline constexpr char PathDelim = '/';

/// `path` with one "/" added unless it already ends in one ("" stays "").
std::string IncludeTrailingPathDelimiter(std::string_view path);
/// `path` without its trailing "/" ("/" itself stays "/").
std::string ExcludeTrailingPathDelimiter(std::string_view path);
/// Folder part of a path up to and including the last "/" ("" when there is none).
std::string ExtractFilePath(std::string_view fileName);
/// Folder part without the trailing "/" (but "/" for a file in the root).
std::string ExtractFileDir(std::string_view fileName);
/// Name part after the last "/".
std::string ExtractFileName(std::string_view fileName);
/// Extension of the name part, from its last "." on (".dat"); "" when the name has no ".".
std::string ExtractFileExt(std::string_view fileName);
/// `fileName` with the extension of its name part replaced by `extension` (which includes its "."), or
/// `extension` appended when the name has none.
std::string ChangeFileExt(std::string_view fileName, std::string_view extension);

} // namespace carlume
