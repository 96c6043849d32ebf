#pragma once

// A named pipe in place of a file, for tests that what is no file is never opened as one. A reader that
// opens it all the same would wait for a writer for good: a watchdog then opens the writing end, so that the
// reader gets an end of file and the test fails instead of hanging.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>

namespace carlume::test {

class ScopedNamedPipe {
public:
    explicit ScopedNamedPipe(std::string path)
        : path_(std::move(path))
    {
        if (::mkfifo(path_.c_str(), 0600) != 0)
            throw std::runtime_error("cannot make the named pipe " + path_);
        watchdog_ = std::thread([this] { Watch(); });
    }
    ~ScopedNamedPipe()
    {
        {
            const std::scoped_lock lock(mutex_);
            done_ = true;
        }
        wake_.notify_all();
        watchdog_.join();
        ::unlink(path_.c_str());
    }
    ScopedNamedPipe(const ScopedNamedPipe&) = delete;
    ScopedNamedPipe& operator=(const ScopedNamedPipe&) = delete;

    /// True once a reader had opened the pipe and was let go: it was opened as a file.
    bool ReleasedAReader() const { return released_; }

private:
    void Watch()
    {
        std::unique_lock lock(mutex_);
        // The writing end opens only while a reader waits on the other; until then this does nothing.
        auto wait = std::chrono::milliseconds(5000);
        while (!wake_.wait_for(lock, wait, [this] { return done_; })) {
            const int writer = ::open(path_.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (writer >= 0) {
                ::close(writer);
                released_ = true;
            }
            wait = std::chrono::milliseconds(100);
        }
    }

    std::string path_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool done_ = false;
    std::atomic<bool> released_{false};
    std::thread watchdog_;
};

} // namespace carlume::test
