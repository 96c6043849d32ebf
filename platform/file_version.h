#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace carlume {

/// The version string stored under `key` (for example "FileVersion") in the package-metadata note of an
/// ELF file; "" when the file is missing, is not ELF, is damaged, or has no such note or key.
std::string ReadFileVersionKey(const std::string& path, std::string_view key);

/// The same lookup on an ELF image held in memory.
std::string ReadFileVersionKeyFromMemory(const void* data, std::size_t size, std::string_view key);

} // namespace carlume
