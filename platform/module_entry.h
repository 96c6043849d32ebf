#pragma once

// The modules the program loads from its folder only when it first needs them (the UI module, the XML
// settings storage, the picture decoder) each export one C function, their entry: given the interface
// version the caller was built with, it hands out the module's interface or says why not. Program and
// modules are built together from one tree; the version guards against a stray old module. A module once
// loaded stays loaded for the rest of the process.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace carlume {

/// A module's entry: for `interfaceVersion`, puts the module's interface in `*result` and returns 0, or
/// returns another status with a NUL-terminated reason of at most `reasonSize` bytes in `reason`. Never
/// raises.
template <class Interface>
using TModuleEntry = int (*)(unsigned interfaceVersion, Interface** result, char* reason,
                             std::size_t reasonSize) noexcept;

/// For a module's entry: copies `text` into the caller's buffer, cut to fit and NUL-terminated.
void CopyModuleReason(std::string_view text, char* reason, std::size_t reasonSize) noexcept;

/// What messages call a kind of module ("XML settings storage"), and the article that goes before it ("an").
struct TModuleKind {
    std::string_view Name;
    std::string_view Article;
};

/// Loads the module `windowsPath` (a Windows name or a path, see platform/library.h) and returns the address
/// of its export `entryName`; nullptr when that fails, with `failure` set to "Unable to load the <name>
/// <path>: <the system's reason>" or "<path> is not <article> <name> module of this program".
void* LoadModuleEntry(std::string_view windowsPath, const char* entryName, const TModuleKind& kind,
                      std::string& failure);

/// Calls the entry at `entry` (from `LoadModuleEntry`) for `version`: returns its status, with its interface
/// in `result` and its reason in `reason`.
template <class Interface>
int CallModuleEntry(void* entry, unsigned version, Interface*& result, std::string& reason)
{
    std::array<char, 512> buffer{};
    result = nullptr;
    const int status =
        reinterpret_cast<TModuleEntry<Interface>>(entry)(version, &result, buffer.data(), buffer.size());
    buffer.back() = '\0';
    reason = buffer.data();
    return status;
}

} // namespace carlume
