#pragma once

// File and folder operations. Every file the program writes goes through `WriteFileAtomically`: the
// contents go to a temporary file in the same folder (".<file>.~carlume.<pid>.XXXXXX.tmp", locked by its
// writer), which is then renamed over the target, so a failure never leaves a truncated file behind. A
// process's first write into a folder first removes the temporaries that killed writers left there: only
// names of that shape whose writer is gone, never a file of anyone else. How much a write waits for the disk
// is the caller's choice (`TWriteMode`). Tests make single steps fail, or watch them, through
// `ScopedFileFault`.

#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <string_view>

namespace carlume {

/// True when `path` names a regular file (after following links); folders and devices do not count.
bool FileExists(const std::string& path);
/// True when `path` names a folder (after following links).
bool DirectoryExists(const std::string& path);
/// Creates the folder and every missing parent; true when the folder exists afterwards.
bool ForceDirectories(const std::string& path);
/// Deletes a file (not a folder); false with the system's reason when it could not, a missing file included.
bool DeleteFile(const std::string& path, std::string* reason = nullptr);
/// `DeleteFile`, but a file that is already gone (another run deleted it first) counts as deleted.
bool DeleteFileIfPresent(const std::string& path, std::string* reason = nullptr);
/// Renames a file or folder; never replaces an existing `newName` (false, like an existing target on
/// Windows). False with the system's reason on failure.
bool RenameFile(const std::string& oldName, const std::string& newName, std::string* reason = nullptr);

/// No limit to the size of a file read whole.
inline constexpr std::uint64_t kNoSizeLimit = std::numeric_limits<std::uint64_t>::max();

/// The whole contents of a file; false with the system's reason when it cannot be read (`STooLargeForMemory`
/// when it does not fit in memory). A file of `sizeLimit` bytes or more is refused unread, by the size of the
/// file opened, with `STooLargeToRead`.
bool TryReadFileBytes(const std::string& path, std::string& bytes, std::string* reason = nullptr,
                      std::uint64_t sizeLimit = kNoSizeLimit);
/// The whole contents of a file; raises `EFOpenError` "Cannot open file \"<path>\". <reason>".
std::string ReadFileBytes(const std::string& path, std::uint64_t sizeLimit = kNoSizeLimit);

/// How a write meets the disk; every writer chooses.
enum class TWriteMode {
    /// The file and its folder are synced before the call returns: for what another program reads after
    /// this one has ended.
    Durable,
    /// As `Durable`, but a file (not a link) that already holds exactly these bytes is left as it is, even
    /// when it is read-only: for the user's settings, which are saved far more often than they change.
    DurableIfChanged,
    /// Renamed into place without waiting for the disk: readers see the old file or the new one, never a
    /// mix, but a crash soon after may lose the new contents. For bookkeeping that nothing depends on.
    Unsynced,
};

/// Replaces (or creates) the file at `path` with exactly `bytes`, atomically; a link at `path` is replaced
/// itself, never followed; an existing file keeps its permissions, and one that is read-only for us is
/// not replaced ("Permission denied"). Raises `EFCreateError` "Cannot create file \"<path>\". <reason>"
/// when the file cannot be created or put in place, and `EWriteError` when writing fails; both carry the
/// reason. In every failure the old file is intact and no temporary file is left behind.
void WriteFileAtomically(const std::string& path, std::string_view bytes, TWriteMode mode);
/// Creates a new file with `bytes`, atomically, replacing nothing: raises `EFCreateError` when a file of
/// that name exists or cannot be created, `EWriteError` when writing fails.
void CreateNewFile(const std::string& path, std::string_view bytes, TWriteMode mode);

/// The system's text for an `errno` value.
std::string SysErrorMessage(int errorCode);

/// The steps of the operations above that tests can make fail.
enum class TFileStep {
    Create, ///< creating the temporary file of a write
    Write,  ///< writing its contents
    Sync,   ///< syncing the written file (the path of the write) or its folder (the folder's path)
    Rename, ///< putting it in place, and `RenameFile`
    Delete, ///< `DeleteFile`
    Read,   ///< reading a whole file; ENOMEM is a file too large for memory, EFBIG one too large to read
};

/// Decides whether a step fails: an `errno` value to fail with, or 0 to go ahead. `path` is the path the
/// caller named (the target of a write, or its folder for the folder's sync; the file to delete or rename).
using TFileFaultHook = std::function<int(TFileStep step, const std::string& path)>;

/// Installs a fault hook for its lifetime (tests); the previous hook comes back afterwards.
class ScopedFileFault {
public:
    /// Every call of the given step fails with `errorCode`.
    ScopedFileFault(TFileStep step, int errorCode);
    /// `hook` decides for every step.
    explicit ScopedFileFault(TFileFaultHook hook);
    ~ScopedFileFault();
    ScopedFileFault(const ScopedFileFault&) = delete;
    ScopedFileFault& operator=(const ScopedFileFault&) = delete;

private:
    TFileFaultHook saved_;
};

} // namespace carlume
