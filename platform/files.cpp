#include "platform/files.h"

#include "platform/exceptions.h"
#include "platform/paths.h"
#include "platform/sysutils.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <optional>
#include <random>
#include <set>
#include <system_error>
#include <utility>

namespace carlume {
namespace {

// A temporary is ".<file>.~carlume.<pid>.<suffix>.tmp": hidden, and with a marker that no person puts in
// a name, so that cleaning up after killed writers can never take a user's own file.
constexpr std::string_view kTemporaryMarker = ".~carlume.";
constexpr std::string_view kTemporaryExtension = ".tmp";
constexpr std::size_t kSuffixLength = 6;
constexpr std::size_t kMaxNameLength = NAME_MAX;

TFileFaultHook& TheHook()
{
    static TFileFaultHook hook;
    return hook;
}

int InjectedFault(TFileStep step, const std::string& path)
{
    const auto& hook = TheHook();
    return hook ? hook(step, path) : 0;
}

std::string RandomSuffix()
{
    static std::mt19937_64 generator{std::random_device{}()};
    static const char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::string suffix;
    for (std::size_t i = 0; i < kSuffixLength; ++i)
        suffix += kChars[generator() % (sizeof kChars - 1)];
    return suffix;
}

bool IsSuffixChar(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

// The writer's process id when `name` has the shape of our temporaries, else 0.
pid_t TemporaryWriter(std::string_view name)
{
    if (!name.starts_with('.') || !name.ends_with(kTemporaryExtension))
        return 0;
    name.remove_suffix(kTemporaryExtension.size());
    if (name.size() < kSuffixLength + 1 || name[name.size() - kSuffixLength - 1] != '.')
        return 0;
    for (const char c : name.substr(name.size() - kSuffixLength))
        if (!IsSuffixChar(c))
            return 0;
    name.remove_suffix(kSuffixLength + 1);
    const auto marker = name.rfind(kTemporaryMarker);
    if (marker == std::string_view::npos || marker < 2)
        return 0;
    const std::string_view digits = name.substr(marker + kTemporaryMarker.size());
    if (digits.empty() || digits.size() > 10)
        return 0;
    long long pid = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9')
            return 0;
        pid = pid * 10 + (c - '0');
    }
    return pid > 0 && pid <= INT_MAX ? pid_t(pid) : 0;
}

// The name of a temporary for `target`: the target's own name is cut when the whole would be too long for
// the file system.
std::string TemporaryName(const std::string& target)
{
    const std::string tail = std::string(kTemporaryMarker) + std::to_string(getpid()) + "." + RandomSuffix() +
                             std::string(kTemporaryExtension);
    std::string name = ExtractFileName(target);
    if (1 + name.size() + tail.size() > kMaxNameLength)
        name.resize(kMaxNameLength - 1 - tail.size());
    return ExtractFilePath(target) + "." + name + tail;
}

bool ProcessIsGone(pid_t pid)
{
    return kill(pid, 0) != 0 && errno == ESRCH;
}

// Removes the temporaries that killed writers left in `folder`. A writer holds a lock on its temporary
// until it is in place: only a file whose writer id names no process here and whose lock is free is
// taken, and only our own regular files.
void RemoveDeadWritersTemporaries(const std::string& folder)
{
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr)
        return;
    const int dirFd = dirfd(dir);
    while (const dirent* entry = readdir(dir)) {
        const pid_t writer = TemporaryWriter(entry->d_name);
        if (writer == 0 || !ProcessIsGone(writer))
            continue;
        const int fd = openat(dirFd, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat st {};
        if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == geteuid() &&
            flock(fd, LOCK_EX | LOCK_NB) == 0)
            unlinkat(dirFd, entry->d_name, 0);
        close(fd);
    }
    closedir(dir);
}

// Sweeps `folder` on the first write of this process into it: temporaries are left only by writers that
// were killed, and a run is short, so once a run is enough (and a run writing often pays for it once).
void RemoveDeadWritersTemporariesOnce(const std::string& folder)
{
    static std::mutex mutex;
    static std::set<std::string> swept;
    {
        const std::lock_guard lock(mutex);
        if (!swept.insert(folder).second)
            return;
    }
    RemoveDeadWritersTemporaries(folder);
}

// Why an existing file must not be replaced: its owner made it read-only (no write permission for us; for
// the super-user, no write permission at all), as the profile functions refuse it. 0 when it may be.
// `st` is the file's lstat, `exists` whether it succeeded.
int ReadOnlyError(const std::string& path, bool exists, const struct stat& st)
{
    if (!exists || !S_ISREG(st.st_mode))
        return 0;
    if (geteuid() == 0)
        return (st.st_mode & 0222) == 0 ? EACCES : 0;
    if (faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0)
        return 0;
    return errno == EACCES || errno == EPERM ? errno : 0;
}

class TemporaryFile {
public:
    ~TemporaryFile()
    {
        if (!name_.empty())
            unlink(name_.c_str());
        if (fd_ >= 0)
            close(fd_);
    }

    // Creates a temporary next to the target, locked until the file is in place or gone. The mode is 0666
    // less the umask, or that of the file it replaces (`old`, the target's lstat when `exists`); a link is
    // replaced, never followed.
    int Create(const std::string& target, bool exists, const struct stat& old)
    {
        for (int attempt = 0; attempt < 100; ++attempt) {
            const std::string name = TemporaryName(target);
            const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd >= 0) {
                fd_ = fd;
                name_ = name;
                flock(fd_, LOCK_EX | LOCK_NB);
                if (exists && S_ISREG(old.st_mode))
                    fchmod(fd_, old.st_mode & 07777);
                return 0;
            }
            if (errno != EEXIST)
                return errno;
        }
        return EEXIST;
    }

    int WriteAll(std::string_view bytes)
    {
        while (!bytes.empty()) {
            const ssize_t written = write(fd_, bytes.data(), bytes.size());
            if (written < 0) {
                if (errno == EINTR)
                    continue;
                return errno;
            }
            bytes.remove_prefix(std::size_t(written));
        }
        return 0;
    }

    int Sync(const std::string& target)
    {
        const int error = InjectedFault(TFileStep::Sync, target);
        if (error != 0)
            return error;
        return fsync(fd_) != 0 ? errno : 0;
    }

    const std::string& Name() const { return name_; }
    // The file is in place; nothing to clean up.
    void Release() { name_.clear(); }

private:
    int fd_ = -1;
    std::string name_;
};

// After the rename: a failure here cannot be undone and is not reported, as the new file is in place.
void SyncFolderOf(const std::string& path)
{
    std::string folder = ExtractFileDir(path);
    if (folder.empty())
        folder = ".";
    if (InjectedFault(TFileStep::Sync, folder) != 0)
        return;
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

[[noreturn]] void RaiseCreate(const std::string& path, int error)
{
    const std::string reason = SysErrorMessage(error);
    throw EFCreateError(Format(SFCreateError, VisibleControls(path), reason), reason);
}

[[noreturn]] void RaiseWrite(const std::string& path, int error)
{
    const std::string reason = SysErrorMessage(error);
    throw EWriteError(Format(SWriteError, VisibleControls(path), reason), reason);
}

// The target of a write as lstat sees it; `Exists` is false when there is nothing at the path.
struct TTarget {
    bool Exists = false;
    struct stat Stat {};
};

TTarget LookAt(const std::string& path)
{
    TTarget target;
    target.Exists = lstat(path.c_str(), &target.Stat) == 0;
    return target;
}

// True when `path` is a regular file (not a link) holding exactly `bytes`. Fills `target` when the look
// tells what is at the path (a regular file, or nothing), so that the write need not look again.
bool HoldsExactly(const std::string& path, std::string_view bytes, std::optional<TTarget>& target)
{
    const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT)
            target = TTarget{};
        return false;
    }
    struct stat st {};
    bool same = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    if (same)
        target = TTarget{true, st};
    same = same && std::uint64_t(st.st_size) == bytes.size();
    char buffer[65536];
    for (std::size_t at = 0; same && at < bytes.size();) {
        const ssize_t got = read(fd, buffer, std::min(sizeof buffer, bytes.size() - at));
        if (got < 0 && errno == EINTR)
            continue;
        same = got > 0 && bytes.substr(at, std::size_t(got)) == std::string_view(buffer, std::size_t(got));
        at += got > 0 ? std::size_t(got) : 0;
    }
    close(fd);
    return same;
}

// Writes `bytes` to a temporary file next to `path`, ready to be put in place; on the first write into the
// folder, first clears away what killed writers left there.
void PrepareTemporary(TemporaryFile& temporary, const std::string& path, std::string_view bytes,
                      TWriteMode mode, const std::optional<TTarget>& known = std::nullopt)
{
    RemoveDeadWritersTemporariesOnce(ExtractFileDir(path));
    const TTarget target = known ? *known : LookAt(path);
    int error = InjectedFault(TFileStep::Create, path);
    if (error == 0)
        error = ReadOnlyError(path, target.Exists, target.Stat);
    if (error == 0)
        error = temporary.Create(path, target.Exists, target.Stat);
    if (error != 0)
        RaiseCreate(path, error);
    error = InjectedFault(TFileStep::Write, path);
    if (error == 0)
        error = temporary.WriteAll(bytes);
    if (error == 0 && mode != TWriteMode::Unsynced)
        error = temporary.Sync(path);
    if (error != 0)
        RaiseWrite(path, error);
}

// rename() that never replaces: renameat2 where the file system supports it, else link and unlink.
int RenameNoReplace(const std::string& from, const std::string& to)
{
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    if (link(from.c_str(), to.c_str()) != 0)
        return errno;
    unlink(from.c_str());
    return 0;
}

int Delete(const std::string& path)
{
    const int error = InjectedFault(TFileStep::Delete, path);
    if (error == 0 && unlink(path.c_str()) != 0)
        return errno;
    return error;
}

bool Reported(int error, std::string* reason)
{
    if (error != 0 && reason != nullptr)
        *reason = SysErrorMessage(error);
    return error == 0;
}

} // namespace

bool FileExists(const std::string& path)
{
    std::error_code ec;
    return !path.empty() && std::filesystem::is_regular_file(path, ec);
}

bool DirectoryExists(const std::string& path)
{
    std::error_code ec;
    return !path.empty() && std::filesystem::is_directory(path, ec);
}

bool ForceDirectories(const std::string& path)
{
    if (path.empty())
        return false;
    std::error_code ec;
    std::filesystem::create_directories(path, ec);
    return DirectoryExists(path);
}

bool DeleteFile(const std::string& path, std::string* reason)
{
    return Reported(Delete(path), reason);
}

bool DeleteFileIfPresent(const std::string& path, std::string* reason)
{
    const int error = Delete(path);
    return Reported(error == ENOENT ? 0 : error, reason);
}

bool RenameFile(const std::string& oldName, const std::string& newName, std::string* reason)
{
    int error = InjectedFault(TFileStep::Rename, oldName);
    if (error == 0)
        error = RenameNoReplace(oldName, newName);
    if (error != 0 && reason != nullptr)
        *reason = SysErrorMessage(error);
    return error == 0;
}

bool TryReadFileBytes(const std::string& path, std::string& bytes, std::string* reason,
                      std::uint64_t sizeLimit)
{
    auto fail = [&](int error) {
        if (reason != nullptr)
            *reason = error == ENOMEM  ? std::string(STooLargeForMemory)
                      : error == EFBIG ? std::string(STooLargeToRead)
                                       : SysErrorMessage(error);
        return false;
    };
    if (const int error = InjectedFault(TFileStep::Read, path))
        return fail(error);
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return fail(errno);
    struct stat st {};
    int statError = 0;
    if (fstat(fd, &st) != 0)
        statError = errno;
    else if (S_ISDIR(st.st_mode))
        statError = EISDIR;
    else if (!S_ISREG(st.st_mode))
        statError = EINVAL;
    else if (std::uint64_t(st.st_size) >= sizeLimit)
        statError = EFBIG;
    if (statError != 0) {
        close(fd);
        return fail(statError);
    }
    std::string contents;
    char buffer[65536];
    try {
        // One piece of the file's size: growing by doubling would need half as much again at the end.
        contents.reserve(std::size_t(st.st_size));
        for (;;) {
            const ssize_t got = read(fd, buffer, sizeof buffer);
            if (got < 0) {
                if (errno == EINTR)
                    continue;
                const int error = errno;
                close(fd);
                return fail(error);
            }
            if (got == 0)
                break;
            // The file may have grown since it was measured.
            if (contents.size() + std::size_t(got) >= sizeLimit) {
                close(fd);
                return fail(EFBIG);
            }
            contents.append(buffer, std::size_t(got));
        }
    } catch (const std::exception&) { // std::bad_alloc, std::length_error
        close(fd);
        return fail(ENOMEM);
    }
    close(fd);
    bytes = std::move(contents);
    return true;
}

std::string ReadFileBytes(const std::string& path, std::uint64_t sizeLimit)
{
    std::string bytes;
    std::string reason;
    if (!TryReadFileBytes(path, bytes, &reason, sizeLimit))
        throw EFOpenError(Format(SFOpenError, VisibleControls(path), reason), reason);
    return bytes;
}

void WriteFileAtomically(const std::string& path, std::string_view bytes, TWriteMode mode)
{
    if (path.empty())
        RaiseCreate(path, ENOENT);
    std::optional<TTarget> target;
    if (mode == TWriteMode::DurableIfChanged && HoldsExactly(path, bytes, target))
        return;
    TemporaryFile temporary;
    PrepareTemporary(temporary, path, bytes, mode, target);
    // rename() replaces a link itself: a link planted in the folder never sends the write elsewhere.
    int error = InjectedFault(TFileStep::Rename, path);
    if (error == 0 && rename(temporary.Name().c_str(), path.c_str()) != 0)
        error = errno;
    if (error != 0)
        RaiseCreate(path, error);
    temporary.Release();
    if (mode != TWriteMode::Unsynced)
        SyncFolderOf(path);
}

void CreateNewFile(const std::string& path, std::string_view bytes, TWriteMode mode)
{
    if (path.empty())
        RaiseCreate(path, ENOENT);
    TemporaryFile temporary;
    PrepareTemporary(temporary, path, bytes, mode);
    int error = InjectedFault(TFileStep::Rename, path);
    if (error == 0)
        error = RenameNoReplace(temporary.Name(), path);
    if (error != 0)
        RaiseCreate(path, error);
    temporary.Release();
    if (mode != TWriteMode::Unsynced)
        SyncFolderOf(path);
}

std::string SysErrorMessage(int errorCode)
{
    return std::system_category().message(errorCode);
}

ScopedFileFault::ScopedFileFault(TFileStep step, int errorCode)
    : ScopedFileFault(TFileFaultHook(
          [step, errorCode](TFileStep s, const std::string&) { return s == step ? errorCode : 0; }))
{
}

ScopedFileFault::ScopedFileFault(TFileFaultHook hook)
    : saved_(std::exchange(TheHook(), std::move(hook)))
{
}

ScopedFileFault::~ScopedFileFault()
{
    TheHook() = std::move(saved_);
}

} // namespace carlume
