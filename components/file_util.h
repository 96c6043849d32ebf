#pragma once

#include <string>

namespace carlume {

/// True when the path names an existing folder; a trailing "/" is allowed. Never raises.
bool DirExists(const std::string& path);

} // namespace carlume
