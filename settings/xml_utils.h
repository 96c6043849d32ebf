#pragma once

// Slash paths of elements ("Backup/Capacity"). A leading "/" is dropped once; a doubled "/" in the
// middle acts as one when a path is split again and again.

#include <string>
#include <string_view>

namespace carlume {

/// The path with "/" appended unless it already ends with one; "" gives "/".
std::string IncludeTrailingSlash(std::string_view path);
/// After one leading "/" is dropped, the text before the next "/"; "" when no "/" remains.
std::string FirstPathSegment(std::string_view path);
/// After one leading "/" is dropped, the text after the next "/"; the whole text when no "/" remains.
std::string RemainingPath(std::string_view path);
/// The first segment and the rest of `IncludeTrailingSlash(path)`: "A/B/C" gives "A" and "B/C/".
void SplitPath(std::string_view path, std::string& first, std::string& rest);

} // namespace carlume
