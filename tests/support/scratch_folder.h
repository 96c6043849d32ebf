#pragma once

// A fresh folder below the system's temporary folder, removed with everything in it at the end of a test,
// whatever modes the test left on what it made, and also when the process ends through exit() before the
// test does (the child process of a death test).

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

namespace carlume::test {

/// Removes `path` and everything below it, first giving its owner every right on each folder inside
/// (never through a link), so that a folder a test locked does not stay behind.
inline void RemoveTree(const std::filesystem::path& path)
{
    namespace fs = std::filesystem;
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        ::chmod(path.c_str(), info.st_mode | S_IRWXU);
        std::error_code ec;
        for (fs::directory_iterator it(path, ec), end; !ec && it != end; it.increment(ec))
            if (it->is_directory(ec) && !it->is_symlink(ec))
                RemoveTree(it->path());
    }
    std::error_code ec;
    fs::remove_all(path, ec);
}

class ScratchFolder {
public:
    ScratchFolder()
    {
        static std::atomic<int> counter{0};
        path_ = std::filesystem::temp_directory_path() /
                ("carlume-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        RemoveTree(path_);
        std::filesystem::create_directories(path_);
        Live().Add(path_);
    }
    ~ScratchFolder()
    {
        RemoveTree(path_);
        Live().Remove(path_);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    /// The folder, without a trailing "/".
    std::string Path() const { return path_.string(); }
    /// A path inside the folder.
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }
    /// Names of everything directly in the folder.
    std::vector<std::string> Entries() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(path_))
            names.push_back(entry.path().filename().string());
        return names;
    }

private:
    // The folders not yet removed, each with the process that made it: a death test's child made by fork()
    // shares its parent's folders, which only the parent removes.
    class LiveFolders {
    public:
        void Add(const std::filesystem::path& path)
        {
            const std::lock_guard lock(mutex_);
            if (!registered_)
                registered_ = std::atexit(RemoveAtExit) == 0;
            folders_[path] = ::getpid();
        }
        void Remove(const std::filesystem::path& path)
        {
            const std::lock_guard lock(mutex_);
            folders_.erase(path);
        }

    private:
        static void RemoveAtExit()
        {
            LiveFolders& live = Live();
            const std::lock_guard lock(live.mutex_);
            for (const auto& [path, maker] : live.folders_)
                if (maker == ::getpid())
                    RemoveTree(path);
        }

        std::mutex mutex_;
        std::map<std::filesystem::path, pid_t> folders_;
        bool registered_ = false;
    };
    static LiveFolders& Live()
    {
        // Never destroyed: the handler at exit still needs it after static objects are gone.
        static LiveFolders* live = new LiveFolders;
        return *live;
    }

    std::filesystem::path path_;
};

inline std::string ReadAll(const std::string& path)
{
    // Copied as a whole: byte by byte, a library of the sanitized build takes seconds.
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return std::move(out).str();
}

inline void WriteAll(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
}

} // namespace carlume::test
