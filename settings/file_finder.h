#pragma once

// Finding files by the end of their name in a folder and all folders below it.

#include <string>

namespace carlume {

class TStringList;

/// Appends the full path of every file in `folder` and below whose name ends with `ending` (compared
/// without regard to ASCII case; no dot is implied, and "" matches every file). Links count as what they
/// name: a linked folder is searched, but each folder only once, however many ways lead to it (so a link
/// loop ends), and never one that holds `folder` (a link to "/" or to a parent is a loop too); a folder on a
/// pseudo file system (proc, sysfs and the like) is never entered unless it is `folder` itself; unreadable
/// folders and links whose target is gone are skipped; each folder's entries come in name order. Returns
/// true.
bool SearchFilesByExt(const std::string& folder, const std::string& ending, TStringList& list);
/// Clears `list`, searches as `SearchFilesByExt` and leaves the paths relative to `folder`
/// ("sub/name.ver"); true when anything was found.
bool FindFilesByExt(const std::string& folder, const std::string& ending, TStringList& list);

} // namespace carlume
