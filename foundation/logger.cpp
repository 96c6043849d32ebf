#include "foundation/logger.h"

#include "foundation/window_helpers.h"
#include "platform/date_time.h"
#include "platform/exceptions.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/identity.h"
#include "platform/paths.h"
#include "platform/sysutils.h"

#include <cstdio>

namespace carlume {
namespace {

std::string OrDefault(const std::string& value, const char* fallback)
{
    return value.empty() ? std::string(fallback) : VisibleControls(value);
}

} // namespace

std::string LogTimeStamp()
{
    // Formatted by hand rather than with the locale's patterns: the stamp is the same everywhere, and it
    // keeps its time also in the first second after midnight.
    const TSystemTime t = DateTimeToSystemTime(Now());
    char text[64];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u.%03u", unsigned(t.wYear),
                  unsigned(t.wMonth), unsigned(t.wDay), unsigned(t.wHour), unsigned(t.wMinute),
                  unsigned(t.wSecond), unsigned(t.wMilliseconds));
    return text;
}

TLoggerObj::TLoggerObj()
    : logFileName_(ChangeFileExt(ProgramFileName(), ".log"))
    , tempDir_(TempFolder())
    , winDir_(WindowsFolder())
{
}

TLoggerObj::~TLoggerObj()
{
    try {
        Flush();
    } catch (...) {
        // The log is lost; the run it describes must still end normally.
    }
}

void TLoggerObj::SetFlushEvery(int flushEvery)
{
    flushEvery_ = flushEvery;
    linesSinceFlush_ = 0;
}

void TLoggerObj::Log(const std::string& message)
{
    if (!enabled_)
        return;
    if (lines_.Count() == 0 && writeMachineInfo_)
        WriteMachineInfoBlock();
    AddLine(message.empty() || !timestamp_ ? message : LogTimeStamp() + " " + message);
}

void TLoggerObj::AddLine(const std::string& line)
{
    lines_.Add(line);
    if (flushEvery_ <= 0)
        return;
    if (++linesSinceFlush_ >= flushEvery_) {
        linesSinceFlush_ = 0;
        Flush();
    }
}

void TLoggerObj::WriteMachineInfoBlock()
{
    struct TimestampOff {
        explicit TimestampOff(bool& flag)
            : flag_(flag)
            , saved_(flag)
        {
            flag_ = false;
        }
        ~TimestampOff() { flag_ = saved_; }
        bool& flag_;
        bool saved_;
    } timestampOff(timestamp_);

    lines_.Add("");
    Log("[MachineInfo]");
    Log("---< MachineInfo >---");
    const std::string application = ProgramFileName();
    const std::string version = GetFileVersionString(application, vkFileVersion);
    TMachineIdentity identity;
    try {
        identity = MachineIdentity();
    } catch (...) {
        Log("Network information not available.");
    }
    Log("Application=" + VisibleControls(application));
    Log("ApplicationVersion=" + OrDefault(version, "UnknownVersion"));
    Log("UserDomain=" + OrDefault(identity.UserDomain, "UnnamedDomain"));
    Log("ComputerName=" + OrDefault(identity.ComputerName, "UnnamedComputer"));
    Log("UserName=" + OrDefault(identity.UserName, "UnnamedUser"));
    Log("WinDir=" + VisibleControls(winDir_));
    Log("TempDir=" + VisibleControls(tempDir_));
    Log("---< MachineInfo >---" + std::string(LogLineEnd));
    Log("[Log]");
}

void TLoggerObj::Flush()
{
    if (logFileName_.empty() || !enabled_ || lines_.Count() == 0)
        return;
    std::string bytes;
    for (int i = 0; i < lines_.Count(); ++i)
        bytes.append(lines_[i]).append(LogLineEnd);
    try {
        // Bookkeeping: a crash that loses the last run's log costs nothing a wait for the disk would save.
        WriteFileAtomically(logFileName_, bytes, TWriteMode::Unsynced);
    } catch (const EFCreateError&) {
        // A log file that cannot be created (missing folder, no rights) is given up without notice.
    }
}

} // namespace carlume
