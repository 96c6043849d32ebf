#pragma once

// The program's log: lines collect in memory, each with its time stamp, after a block that describes the
// machine; the whole buffer is written to the log file when the logger goes (or every `FlushEvery` lines),
// replacing the file of the previous run. Lines end in CR LF so that the file reads the same on Windows.

#include "platform/string_list.h"

#include <string>
#include <string_view>

namespace carlume {

/// Line end of the log file.
inline constexpr std::string_view LogLineEnd = "\r\n";

/// "yyyy-mm-dd hh:nn:ss.zzz" of the process-wide clock's current time, in full at every time of day.
std::string LogTimeStamp();

/// The buffered log.
class TLoggerObj {
public:
    /// An enabled logger with time stamps and the machine block, writing to the program's path with
    /// ".log"; reads the Windows and temporary folders now.
    TLoggerObj();
    /// Writes the buffer (see `Flush`); never raises: a log that cannot be written is lost.
    ~TLoggerObj();
    TLoggerObj(const TLoggerObj&) = delete;
    TLoggerObj& operator=(const TLoggerObj&) = delete;

    /// Adds a line: nothing while disabled; the machine block first when the buffer is empty; an empty
    /// message as an empty line, anything else with "yyyy-mm-dd hh:nn:ss.zzz " in front while `Timestamp`
    /// is on. Flushes every `FlushEvery` lines, with the errors `Flush` raises.
    void Log(const std::string& message);
    /// Writes every buffered line with CR LF to `LogFileName`, replacing the file atomically; the buffer
    /// stays. Does nothing without a file name, while disabled or with an empty buffer. A file that cannot
    /// be created (`EFCreateError`) is skipped silently; other write errors (`EWriteError`) are raised.
    void Flush();

    /// The file the buffer is written to.
    const std::string& LogFileName() const { return logFileName_; }
    /// Sets the file the buffer is written to ("" writes nothing).
    void SetLogFileName(std::string fileName) { logFileName_ = std::move(fileName); }
    /// True when lines get a time stamp.
    bool Timestamp() const { return timestamp_; }
    /// Switches time stamps on or off.
    void SetTimestamp(bool timestamp) { timestamp_ = timestamp; }
    /// True when the machine block comes before the first line.
    bool WriteMachineInfo() const { return writeMachineInfo_; }
    /// Switches the machine block on or off.
    void SetWriteMachineInfo(bool writeMachineInfo) { writeMachineInfo_ = writeMachineInfo; }
    /// True when logging is on.
    bool Enabled() const { return enabled_; }
    /// Switches logging on or off.
    void SetEnabled(bool enabled) { enabled_ = enabled; }
    /// Lines between automatic flushes; 0 or less never flushes before the end.
    int FlushEvery() const { return flushEvery_; }
    /// Sets `FlushEvery` and starts counting afresh.
    void SetFlushEvery(int flushEvery);
    /// Lines added since the last automatic flush.
    int LinesSinceFlush() const { return linesSinceFlush_; }
    /// The buffered lines.
    const TStringList& Lines() const { return lines_; }
    /// The temporary folder, with its trailing "/".
    const std::string& TempDir() const { return tempDir_; }
    /// The Windows folder as the system reports it (no "/" added).
    const std::string& WinDir() const { return winDir_; }

private:
    void AddLine(const std::string& message);
    void WriteMachineInfoBlock();

    std::string logFileName_;
    bool timestamp_ = true;
    bool writeMachineInfo_ = true;
    TStringList lines_;
    std::string tempDir_;
    std::string winDir_;
    int flushEvery_ = 0;
    int linesSinceFlush_ = 0;
    bool enabled_ = true;
};

} // namespace carlume
