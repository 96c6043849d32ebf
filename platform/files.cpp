#include "platform/files.h"

#include "platform/exceptions.h"
#include "platform/paths.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <system_error>
#include <utility>

namespace carlume {
namespace {

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
    for (int i = 0; i < 6; ++i)
        suffix += kChars[generator() % (sizeof kChars - 1)];
    return suffix;
}

// The file a write really replaces: the target of a link, or the path itself.
std::string WriteTarget(const std::string& path)
{
    struct stat st {};
    if (lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char resolved[PATH_MAX];
        if (realpath(path.c_str(), resolved) != nullptr)
            return resolved;
    }
    return path;
}

class TemporaryFile {
public:
    ~TemporaryFile()
    {
        if (fd_ >= 0)
            close(fd_);
        if (!name_.empty())
            unlink(name_.c_str());
    }

    // Creates "<target>.XXXXXX" next to the target; the mode is 0666 less the umask, or the old file's.
    int Create(const std::string& target)
    {
        for (int attempt = 0; attempt < 100; ++attempt) {
            const std::string name = target + "." + RandomSuffix();
            const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd >= 0) {
                fd_ = fd;
                name_ = name;
                struct stat old {};
                if (stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode))
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
        if (fsync(fd_) != 0)
            return errno;
        const int fd = fd_;
        fd_ = -1;
        if (close(fd) != 0)
            return errno;
        return 0;
    }

    const std::string& Name() const { return name_; }
    // The file is in place; nothing to clean up.
    void Release() { name_.clear(); }

private:
    int fd_ = -1;
    std::string name_;
};

void SyncFolderOf(const std::string& path)
{
    std::string folder = ExtractFileDir(path);
    if (folder.empty())
        folder = ".";
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

[[noreturn]] void RaiseCreate(const std::string& path, int error)
{
    throw CreateFmt<EFCreateError>(SFCreateError, path, SysErrorMessage(error));
}

[[noreturn]] void RaiseWrite(const std::string& path, int error)
{
    throw CreateFmt<EWriteError>(SWriteError, path, SysErrorMessage(error));
}

// Writes `bytes` to a temporary file next to `target` and returns it, ready to be put in place.
void PrepareTemporary(TemporaryFile& temporary, const std::string& path, const std::string& target,
                      std::string_view bytes)
{
    int error = InjectedFault(TFileStep::Create, path);
    if (error == 0)
        error = temporary.Create(target);
    if (error != 0)
        RaiseCreate(path, error);
    error = InjectedFault(TFileStep::Write, path);
    if (error == 0)
        error = temporary.WriteAll(bytes);
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
    int error = InjectedFault(TFileStep::Delete, path);
    if (error == 0 && unlink(path.c_str()) != 0)
        error = errno;
    if (error != 0 && reason != nullptr)
        *reason = SysErrorMessage(error);
    return error == 0;
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

bool TryReadFileBytes(const std::string& path, std::string& bytes, std::string* reason)
{
    auto fail = [&](int error) {
        if (reason != nullptr)
            *reason = SysErrorMessage(error);
        return false;
    };
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
    if (statError != 0) {
        close(fd);
        return fail(statError);
    }
    std::string contents;
    char buffer[65536];
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
        contents.append(buffer, std::size_t(got));
    }
    close(fd);
    bytes = std::move(contents);
    return true;
}

std::string ReadFileBytes(const std::string& path)
{
    std::string bytes;
    std::string reason;
    if (!TryReadFileBytes(path, bytes, &reason))
        throw CreateFmt<EFOpenError>(SFOpenError, path, reason);
    return bytes;
}

void WriteFileAtomically(const std::string& path, std::string_view bytes)
{
    if (path.empty())
        RaiseCreate(path, ENOENT);
    const std::string target = WriteTarget(path);
    TemporaryFile temporary;
    PrepareTemporary(temporary, path, target, bytes);
    int error = InjectedFault(TFileStep::Rename, path);
    if (error == 0 && rename(temporary.Name().c_str(), target.c_str()) != 0)
        error = errno;
    if (error != 0)
        RaiseCreate(path, error);
    temporary.Release();
    SyncFolderOf(target);
}

void CreateNewFile(const std::string& path, std::string_view bytes)
{
    if (path.empty())
        RaiseCreate(path, ENOENT);
    TemporaryFile temporary;
    PrepareTemporary(temporary, path, path, bytes);
    int error = InjectedFault(TFileStep::Rename, path);
    if (error == 0)
        error = RenameNoReplace(temporary.Name(), path);
    if (error != 0)
        RaiseCreate(path, error);
    temporary.Release();
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
