#pragma once

// Loading libraries by the Windows names the program knows them by. One mapping turns a Windows library
// name into its Linux file in the same folder: "CHASSIX.DLL" becomes "libchassix.so" (base name
// lower-cased, "lib" in front, ".so" for ".dll"; a name without extension counts as ".dll"; any other
// extension is kept as it is). A name without a folder is looked for in the program's folder, never on
// the system's library path nor in the current folder. What is no regular file, a file built for another
// machine, and one whose headers do not fit the file are refused, with the reason, before the system maps
// it (platform/library_check.h). Libraries are opened with every symbol bound at once (RTLD_NOW) and kept
// private (RTLD_LOCAL).

#include <string>
#include <string_view>

namespace carlume {

/// A loaded library (opaque).
struct TModule;
/// A loaded library; nullptr for none.
using HMODULE = TModule*;

/// The Linux file name for a Windows library name ("tscEmail.DLL" gives "libtscemail.so").
std::string LibraryFileName(std::string_view windowsName);
/// The path `LoadLibrary` tries for a Windows name or path: the mapped name in the same folder, or in the
/// program's folder when none is given. Use it to name the file in messages. Raises the error of
/// `ProgramFolder` when the program's folder is needed and cannot be found.
std::string LibraryPath(std::string_view windowsPath);

/// Loads the library at `LibraryPath(windowsPath)`; nullptr on failure (see `LibraryError`; "the file is
/// truncated" for a file cut short, and the other reasons of `DamagedLibraryReason`). Raises as
/// `LibraryPath` does.
HMODULE LoadLibrary(std::string_view windowsPath);
/// Address of the exported symbol `name` (case-sensitive); nullptr when missing (see `LibraryError`).
void* GetProcAddress(HMODULE module, const char* name);
/// `GetProcAddress` cast to a function pointer type.
template <class Function> Function GetProcAddressAs(HMODULE module, const char* name)
{
    return reinterpret_cast<Function>(GetProcAddress(module, name));
}
/// Unloads a library and releases the handle; false (see `LibraryError`) when the system refused.
bool FreeLibrary(HMODULE module);
/// Path a handle was loaded from.
std::string ModuleFileName(HMODULE module);
/// The system's reason for the last failed call above on this thread.
std::string LibraryError();

} // namespace carlume
