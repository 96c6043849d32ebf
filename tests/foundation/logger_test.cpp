#include "foundation/logger.h"

#include "platform/date_time.h"
#include "platform/exceptions.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/identity.h"
#include "tests/support/scratch_folder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <memory>
#include <string>

namespace carlume {
namespace {

TDateTime At(int hour, int minute, int second, int msec)
{
    return EncodeDate(2025, 3, 7) + EncodeTime(hour, minute, second, msec);
}

class LoggerTest : public ::testing::Test {
protected:
    // The machine block as this fixture's fake machine describes itself.
    std::string Block(const std::string& application, const std::string& version,
                      const std::string& networkLine = "", const std::string& domain = "OFFICE",
                      const std::string& computer = "WS01", const std::string& user = "jdoe") const
    {
        return "\r\n"
               "[MachineInfo]\r\n"
               "---< MachineInfo >---\r\n" +
               networkLine + "Application=" + application + "\r\n" + "ApplicationVersion=" + version +
               "\r\n" + "UserDomain=" + domain + "\r\n" + "ComputerName=" + computer + "\r\n" +
               "UserName=" + user + "\r\n" + "WinDir=" + dir / "win" + "\r\n" + "TempDir=" + dir / "tmp/" +
               "\r\n" +
               "---< MachineInfo >---\r\n\r\n"
               "[Log]\r\n";
    }

    test::ScratchFolder dir;
    ScopedFolderOverride program{TFolder::ProgramFile, dir / "bin/cquery"};
    ScopedFolderOverride windows{TFolder::Windows, dir / "win/"};
    ScopedFolderOverride temp{TFolder::Temp, dir / "tmp"};
    ScopedIdentityProvider identity{TMachineIdentity{"jdoe", "WS01", "OFFICE"}};
    ScopedClock clock{At(9, 5, 2, 47)};
};

TEST_F(LoggerTest, ExactTextOfARun)
{
    const std::string file = dir / "run.log";
    {
        TLoggerObj logger;
        logger.SetLogFileName(file);
        logger.Log("Begin Carquery");
        logger.Log("");
        logger.Log("*** EXCEPTION GENERATED ***\r\nNo engine");
        EXPECT_FALSE(FileExists(file)) << "nothing is written before the end";
    }
    EXPECT_EQ(test::ReadAll(file),
              Block(dir / "bin/cquery", "UnknownVersion") +
                  "2025-03-07 09:05:02.047 Begin Carquery\r\n"
                  "\r\n"
                  "2025-03-07 09:05:02.047 *** EXCEPTION GENERATED ***\r\nNo engine\r\n");
}

TEST_F(LoggerTest, VersionComesFromTheProgramFile)
{
    EXPECT_EQ(TLoggerObj().LogFileName(), dir / "bin/cquery.log");
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    ScopedFolderOverride realProgram(TFolder::ProgramFile, self);
    TLoggerObj logger;
    // Its own log would go next to the test program.
    logger.SetLogFileName(dir / "self.log");
    logger.SetTimestamp(false);
    logger.Log("x");
    EXPECT_EQ(logger.Lines().Text(), Block(self, CARLUME_EXPECTED_VERSION) + "x\r\n");
}

TEST_F(LoggerTest, FullStampAtEveryTimeOfDay)
{
    struct Case {
        TDateTime when;
        const char* stamp;
    };
    for (const Case& c :
         {Case{At(0, 0, 0, 0), "2025-03-07 00:00:00.000"}, Case{At(0, 0, 0, 500), "2025-03-07 00:00:00.500"},
          Case{At(0, 0, 1, 0), "2025-03-07 00:00:01.000"}, Case{At(12, 0, 0, 0), "2025-03-07 12:00:00.000"},
          Case{At(13, 7, 9, 5), "2025-03-07 13:07:09.005"},
          Case{At(23, 59, 59, 999), "2025-03-07 23:59:59.999"}}) {
        ScopedClock fixed(c.when);
        EXPECT_EQ(LogTimeStamp(), c.stamp);
        TLoggerObj logger;
        logger.SetWriteMachineInfo(false);
        logger.Log("m");
        ASSERT_EQ(logger.Lines().Count(), 1);
        EXPECT_EQ(logger.Lines()[0], std::string(c.stamp) + " m");
    }
}

TEST_F(LoggerTest, EmptyMessagesAndTimestampOff)
{
    TLoggerObj logger;
    logger.SetWriteMachineInfo(false);
    logger.Log("");
    logger.SetTimestamp(false);
    logger.Log("plain");
    logger.SetTimestamp(true);
    logger.Log("stamped");
    EXPECT_EQ(logger.Lines().Text(), "\r\nplain\r\n2025-03-07 09:05:02.047 stamped\r\n");
}

TEST_F(LoggerTest, AFailedOrEmptyIdentityGivesTheDefaults)
{
    for (const bool fails : {true, false}) {
        ScopedIdentityProvider identity([fails]() -> TMachineIdentity {
            if (fails)
                throw EOSError("gethostname", EIO);
            return {"", "", ""};
        });
        TLoggerObj logger;
        logger.SetTimestamp(false);
        logger.Log("x");
        EXPECT_EQ(logger.Lines().Text(), Block(dir / "bin/cquery", "UnknownVersion",
                                               fails ? "Network information not available.\r\n" : "",
                                               "UnnamedDomain", "UnnamedComputer", "UnnamedUser") +
                                             "x\r\n");
    }
}

TEST_F(LoggerTest, TheMachineBlockWritesOutControlCharacters)
{
    const ScopedFolderOverride forged{TFolder::ProgramFile, dir / "b\nin/cquery"};
    const ScopedFolderOverride windows{TFolder::Windows, dir / "w\x1bin"};
    const ScopedIdentityProvider identity{TMachineIdentity{"j\rdoe", "WS\n01", "OFF\tICE"}};
    TLoggerObj logger;
    logger.SetTimestamp(false);
    logger.Log("x");
    std::string block = Block(dir / "b\\nin/cquery", "UnknownVersion", "", "OFF\\tICE", "WS\\n01", "j\\rdoe");
    block.replace(block.find("WinDir=") + 7, (dir / "win").size(), dir / "w\\x1Bin");
    EXPECT_EQ(logger.Lines().Text(), block + "x\r\n");
}

TEST_F(LoggerTest, DisabledLogsAndWritesNothing)
{
    const std::string file = dir / "off.log";
    {
        TLoggerObj logger;
        logger.SetLogFileName(file);
        logger.SetEnabled(false);
        logger.Log("x");
        EXPECT_EQ(logger.Lines().Count(), 0);
    }
    {
        TLoggerObj logger;
        logger.SetLogFileName(file);
        logger.Log("x");
        logger.SetEnabled(false);
    }
    {
        TLoggerObj logger;
        logger.SetLogFileName("");
        logger.Log("x");
    }
    EXPECT_FALSE(FileExists(file));
}

TEST_F(LoggerTest, ReplacesThePreviousLogAndEveryFlushRewritesTheWhole)
{
    const std::string file = dir / "run.log";
    test::WriteAll(file, "the previous run's log, which is much longer than this one\r\n");
    TLoggerObj logger;
    logger.SetLogFileName(file);
    logger.SetWriteMachineInfo(false);
    logger.Log("a");
    logger.Flush();
    EXPECT_EQ(test::ReadAll(file), "2025-03-07 09:05:02.047 a\r\n");
    logger.Flush();
    EXPECT_EQ(test::ReadAll(file), "2025-03-07 09:05:02.047 a\r\n");
    logger.Log("b");
    logger.Flush();
    EXPECT_EQ(test::ReadAll(file), "2025-03-07 09:05:02.047 a\r\n2025-03-07 09:05:02.047 b\r\n");
    EXPECT_EQ(logger.Lines().Count(), 2) << "flushing keeps the buffer";
}

TEST_F(LoggerTest, FlushEveryWritesAfterThatManyLines)
{
    const std::string file = dir / "every.log";
    TLoggerObj logger;
    logger.SetLogFileName(file);
    logger.SetWriteMachineInfo(false);
    logger.SetTimestamp(false);
    logger.SetFlushEvery(2);
    logger.Log("1");
    EXPECT_FALSE(FileExists(file));
    EXPECT_EQ(logger.LinesSinceFlush(), 1);
    logger.Log("2");
    EXPECT_EQ(test::ReadAll(file), "1\r\n2\r\n");
    EXPECT_EQ(logger.LinesSinceFlush(), 0);
    logger.Log("3");
    EXPECT_EQ(test::ReadAll(file), "1\r\n2\r\n");
    logger.SetFlushEvery(2); // starts counting afresh
    EXPECT_EQ(logger.LinesSinceFlush(), 0);
    logger.Log("4");
    EXPECT_EQ(test::ReadAll(file), "1\r\n2\r\n");
    logger.Log("5");
    EXPECT_EQ(test::ReadAll(file), "1\r\n2\r\n3\r\n4\r\n5\r\n");
}

TEST_F(LoggerTest, MachineBlockLinesCountTowardsFlushEvery)
{
    const std::string file = dir / "block.log";
    TLoggerObj logger;
    logger.SetLogFileName(file);
    logger.SetFlushEvery(1);
    logger.Log("first");
    EXPECT_EQ(test::ReadAll(file), logger.Lines().Text());
    EXPECT_EQ(logger.Lines().Count(), 13);
}

TEST_F(LoggerTest, AFileThatCannotBeCreatedIsGivenUpSilently)
{
    test::WriteAll(dir / "plainfile", "x");
    const std::string file = dir / "plainfile/run.log";
    {
        TLoggerObj logger;
        logger.SetLogFileName(file);
        logger.Log("x");
        EXPECT_NO_THROW(logger.Flush());
    }
    EXPECT_FALSE(std::filesystem::exists(file));
    {
        ScopedFileFault fault(TFileStep::Create, EACCES);
        TLoggerObj logger;
        logger.SetLogFileName(dir / "denied.log");
        logger.Log("x");
        EXPECT_NO_THROW(logger.Flush());
    }
    EXPECT_FALSE(FileExists(dir / "denied.log"));
}

TEST_F(LoggerTest, WriteErrorsReachAnExplicitFlushButNeverLeaveTheDestructor)
{
    const std::string file = dir / "broken.log";
    test::WriteAll(file, "old");
    {
        ScopedFileFault fault(TFileStep::Write, EIO);
        auto logger = std::make_unique<TLoggerObj>();
        logger->SetLogFileName(file);
        logger->Log("x");
        EXPECT_THROW(logger->Flush(), EWriteError);
        logger.reset();
    }
    EXPECT_EQ(test::ReadAll(file), "old") << "a failed write leaves the old log as it was";
    {
        ScopedFileFault fault(TFileStep::Write, ENOSPC);
        TLoggerObj logger;
        logger.SetLogFileName(file);
        logger.SetFlushEvery(1);
        EXPECT_THROW(logger.Log("x"), EWriteError);
        EXPECT_TRUE(logger.Timestamp()) << "restored after a failure inside the machine block";
    }
}

} // namespace
} // namespace carlume
