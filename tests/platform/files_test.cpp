#include "platform/files.h"

#include "platform/exceptions.h"
#include "platform/paths.h"
#include "tests/support/scratch_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace carlume {
namespace {

using Names = std::vector<std::string>;

TEST(PathsTest, TextRoutines)
{
    EXPECT_EQ(IncludeTrailingPathDelimiter("/opt/x"), "/opt/x/");
    EXPECT_EQ(IncludeTrailingPathDelimiter("/opt/x/"), "/opt/x/");
    EXPECT_EQ(IncludeTrailingPathDelimiter(""), "");
    EXPECT_EQ(ExcludeTrailingPathDelimiter("/opt/x//"), "/opt/x");
    EXPECT_EQ(ExcludeTrailingPathDelimiter("/"), "/");
    EXPECT_EQ(ExtractFilePath("/opt/carlume/cquery"), "/opt/carlume/");
    EXPECT_EQ(ExtractFilePath("cquery"), "");
    EXPECT_EQ(ExtractFileDir("/opt/carlume/cquery"), "/opt/carlume");
    EXPECT_EQ(ExtractFileDir("/cquery"), "/");
    EXPECT_EQ(ExtractFileName("/opt/carlume/cquery"), "cquery");
    EXPECT_EQ(ExtractFileName("/opt/"), "");
    EXPECT_EQ(ExtractFileExt("/a/P5_USER.ver"), ".ver");
    EXPECT_EQ(ExtractFileExt("/a.b/file"), "");
    EXPECT_EQ(ExtractFileExt("archive.tar.gz"), ".gz");
    EXPECT_EQ(ChangeFileExt("/opt/carlume/cquery", ".log"), "/opt/carlume/cquery.log");
    EXPECT_EQ(ChangeFileExt("/opt/carlume/cquery.exe", ".logger"), "/opt/carlume/cquery.logger");
    EXPECT_EQ(ChangeFileExt("/a.b/file", ".x"), "/a.b/file.x");
    EXPECT_EQ(ChangeFileExt("name.ext", ""), "name");
}

class FilesTest : public ::testing::Test {
protected:
    test::ScratchFolder dir;
};

TEST_F(FilesTest, ExistenceTests)
{
    test::WriteAll(dir / "file", "x");
    std::filesystem::create_directory(dir / "folder");
    std::filesystem::create_symlink(dir / "file", dir / "link");
    EXPECT_TRUE(FileExists(dir / "file"));
    EXPECT_TRUE(FileExists(dir / "link"));
    EXPECT_FALSE(FileExists(dir / "folder"));
    EXPECT_FALSE(FileExists(dir / "missing"));
    EXPECT_FALSE(FileExists(""));
    EXPECT_FALSE(FileExists("/dev/null"));
    EXPECT_TRUE(DirectoryExists(dir / "folder"));
    EXPECT_TRUE(DirectoryExists(dir / "folder/"));
    EXPECT_FALSE(DirectoryExists(dir / "file"));
    EXPECT_FALSE(DirectoryExists(""));
}

TEST_F(FilesTest, ForceDirectoriesReportsTheResult)
{
    EXPECT_TRUE(ForceDirectories(dir / "a/b/c"));
    EXPECT_TRUE(DirectoryExists(dir / "a/b/c"));
    EXPECT_TRUE(ForceDirectories(dir / "a/b/c"));
    test::WriteAll(dir / "plain", "x");
    EXPECT_FALSE(ForceDirectories(dir / "plain/sub"));
    EXPECT_FALSE(ForceDirectories(""));
}

TEST_F(FilesTest, DeleteAndRenameReportTheirResult)
{
    test::WriteAll(dir / "old", "1");
    std::string reason;
    EXPECT_TRUE(DeleteFile(dir / "old", &reason));
    EXPECT_FALSE(FileExists(dir / "old"));
    EXPECT_FALSE(DeleteFile(dir / "old", &reason));
    EXPECT_EQ(reason, "No such file or directory");
    std::filesystem::create_directory(dir / "folder");
    EXPECT_FALSE(DeleteFile(dir / "folder", &reason));
    EXPECT_TRUE(DirectoryExists(dir / "folder"));

    test::WriteAll(dir / "stale", "1");
    {
        ScopedFileFault fault(TFileStep::Delete, EACCES);
        EXPECT_FALSE(DeleteFile(dir / "stale", &reason));
        EXPECT_EQ(reason, "Permission denied");
    }
    EXPECT_TRUE(FileExists(dir / "stale"));

    test::WriteAll(dir / "target", "2");
    EXPECT_FALSE(RenameFile(dir / "stale", dir / "target", &reason)) << "never replaces";
    EXPECT_EQ(reason, "File exists");
    EXPECT_EQ(test::ReadAll(dir / "target"), "2");
    EXPECT_TRUE(RenameFile(dir / "stale", dir / "moved"));
    EXPECT_EQ(test::ReadAll(dir / "moved"), "1");
    EXPECT_FALSE(FileExists(dir / "stale"));
    {
        ScopedFileFault fault(TFileStep::Rename, EBUSY);
        EXPECT_FALSE(RenameFile(dir / "moved", dir / "again"));
    }
    EXPECT_TRUE(FileExists(dir / "moved"));
}

TEST_F(FilesTest, ReadingWholeFiles)
{
    const std::string bytes("a\0b\r\n\xff", 6);
    test::WriteAll(dir / "f", bytes);
    EXPECT_EQ(ReadFileBytes(dir / "f"), bytes);
    std::string out = "untouched";
    std::string reason;
    EXPECT_FALSE(TryReadFileBytes(dir / "missing", out, &reason));
    EXPECT_EQ(out, "untouched");
    EXPECT_EQ(reason, "No such file or directory");
    EXPECT_FALSE(TryReadFileBytes(dir.Path(), out, &reason));
    EXPECT_EQ(reason, "Is a directory");
    try {
        (void)ReadFileBytes(dir / "missing");
        ADD_FAILURE();
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message(), "Cannot open file \"" + (dir / "missing") + "\". No such file or directory");
    }
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    EXPECT_FALSE(TryReadFileBytes(dir / "fifo", out)) << "a pipe is refused, not waited on";
}

TEST_F(FilesTest, AtomicWriteCreatesAndReplaces)
{
    WriteFileAtomically(dir / "f.dat", "first\r\n", TWriteMode::Durable);
    EXPECT_EQ(test::ReadAll(dir / "f.dat"), "first\r\n");
    ::chmod((dir / "f.dat").c_str(), 0640);
    WriteFileAtomically(dir / "f.dat", std::string("second\0", 7), TWriteMode::Durable);
    EXPECT_EQ(test::ReadAll(dir / "f.dat"), std::string("second\0", 7));
    struct stat st {};
    ASSERT_EQ(::stat((dir / "f.dat").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u) << "the old file's permissions are kept";
    WriteFileAtomically(dir / "empty", "", TWriteMode::Durable);
    EXPECT_TRUE(FileExists(dir / "empty"));
    EXPECT_EQ(dir.Entries().size(), 2u) << "no temporary file left behind";
}

struct WriteModeCase {
    const char* Name;
    TWriteMode mode;
    const char* before; // nullptr: no file yet
    bool synced, written;
};

void PrintTo(const WriteModeCase& c, std::ostream* os)
{
    *os << c.Name;
}

class WriteModeTest : public ::testing::TestWithParam<WriteModeCase> {
protected:
    test::ScratchFolder dir;
};

TEST_P(WriteModeTest, SyncsAndWritesOnlyWhatTheModeAsks)
{
    const auto& c = GetParam();
    const std::string target = dir / "settings.ini";
    if (c.before)
        test::WriteAll(target, c.before);
    struct stat old {};
    ::stat(target.c_str(), &old);
    Names syncs;
    int creates = 0;
    ScopedFileFault watch([&](TFileStep step, const std::string& path) {
        if (step == TFileStep::Sync)
            syncs.push_back(path);
        creates += step == TFileStep::Create;
        return 0;
    });
    WriteFileAtomically(target, "[Settings]\r\n", c.mode);

    EXPECT_EQ(test::ReadAll(target), "[Settings]\r\n");
    EXPECT_EQ(syncs, c.synced ? (Names{target, dir.Path()}) : Names{});
    EXPECT_EQ(creates, c.written ? 1 : 0);
    struct stat now {};
    ::stat(target.c_str(), &now);
    EXPECT_EQ(now.st_ino != old.st_ino, c.written) << "a new file is put in place only when written";
}

INSTANTIATE_TEST_SUITE_P(
    Modes, WriteModeTest,
    ::testing::Values(
        WriteModeCase{"Durable", TWriteMode::Durable, "[Settings]\r\n", true, true},
        WriteModeCase{"DurableIfChangedNew", TWriteMode::DurableIfChanged, nullptr, true, true},
        WriteModeCase{"DurableIfChangedChanged", TWriteMode::DurableIfChanged, "[Old]\r\n", true, true},
        WriteModeCase{"DurableIfChangedSame", TWriteMode::DurableIfChanged, "[Settings]\r\n", false, false},
        WriteModeCase{"DurableIfChangedLonger", TWriteMode::DurableIfChanged, "[Settings]\r\n\r\n", true,
                      true},
        WriteModeCase{"Unsynced", TWriteMode::Unsynced, "[Settings]\r\n", false, true}),
    [](const auto& row) { return std::string(row.param.Name); });

TEST_F(FilesTest, AnUnchangedFileReadOnlyForUsNeedsNoWrite)
{
    test::WriteAll(dir / "PMMainta.xml", "<x/>");
    ::chmod((dir / "PMMainta.xml").c_str(), 0444);
    EXPECT_NO_THROW(WriteFileAtomically(dir / "PMMainta.xml", "<x/>", TWriteMode::DurableIfChanged));
    EXPECT_THROW(WriteFileAtomically(dir / "PMMainta.xml", "<y/>", TWriteMode::DurableIfChanged),
                 EFCreateError);
    EXPECT_EQ(test::ReadAll(dir / "PMMainta.xml"), "<x/>");
}

struct FaultCase {
    const char* Name;
    TFileStep step;
    int error;
    bool createError; // EFCreateError, else EWriteError
    const char* reason;
};

void PrintTo(const FaultCase& c, std::ostream* os)
{
    *os << c.Name;
}

class AtomicWriteFaultTest : public ::testing::TestWithParam<FaultCase> {
protected:
    test::ScratchFolder dir;
};

TEST_P(AtomicWriteFaultTest, AFailedStepLeavesTheOldFileAndNoTemporary)
{
    const auto& c = GetParam();
    const std::string target = dir / "cquery.dat";
    test::WriteAll(target, "previous");
    std::vector<std::string> seenPaths;
    ScopedFileFault fault([&](TFileStep step, const std::string& path) {
        seenPaths.push_back(path);
        return step == c.step ? c.error : 0;
    });
    try {
        WriteFileAtomically(target, "replacement", TWriteMode::Durable);
        ADD_FAILURE() << "no error";
    } catch (const EFCreateError& e) {
        EXPECT_TRUE(c.createError);
        EXPECT_EQ(e.Message(), "Cannot create file \"" + target + "\". " + c.reason);
    } catch (const EWriteError& e) {
        EXPECT_FALSE(c.createError);
        EXPECT_EQ(e.Message(), "Cannot write file \"" + target + "\". " + c.reason);
    }
    EXPECT_EQ(test::ReadAll(target), "previous");
    EXPECT_EQ(dir.Entries(), (Names{"cquery.dat"}));
    for (const auto& path : seenPaths)
        EXPECT_EQ(path, target) << "the hook sees the caller's path";
}

INSTANTIATE_TEST_SUITE_P(
    Steps, AtomicWriteFaultTest,
    ::testing::Values(FaultCase{"CreateDenied", TFileStep::Create, EACCES, true, "Permission denied"},
                      FaultCase{"DiskFull", TFileStep::Write, ENOSPC, false, "No space left on device"},
                      FaultCase{"WriteError", TFileStep::Write, EIO, false, "Input/output error"},
                      FaultCase{"SyncError", TFileStep::Sync, EIO, false, "Input/output error"},
                      FaultCase{"RenameBusy", TFileStep::Rename, EBUSY, true, "Device or resource busy"}),
    [](const auto& row) { return std::string(row.param.Name); });

TEST_F(FilesTest, AtomicWriteIntoAMissingOrImpossibleFolder)
{
    try {
        WriteFileAtomically(dir / "Data/cquery.dat", "x", TWriteMode::Durable);
        ADD_FAILURE();
    } catch (const EFCreateError& e) {
        EXPECT_EQ(e.Message(),
                  "Cannot create file \"" + (dir / "Data/cquery.dat") + "\". No such file or directory");
    }
    test::WriteAll(dir / "plain", "x");
    EXPECT_THROW(WriteFileAtomically(dir / "plain/cquery.ini", "x", TWriteMode::Durable), EFCreateError);
    std::filesystem::create_directory(dir / "folder");
    EXPECT_THROW(WriteFileAtomically(dir / "folder", "x", TWriteMode::Durable), EFCreateError);
    EXPECT_TRUE(DirectoryExists(dir / "folder"));
    EXPECT_THROW(WriteFileAtomically("", "x", TWriteMode::Durable), EFCreateError);
    EXPECT_EQ(dir.Entries().size(), 2u);
}

TEST_F(FilesTest, CreateNewFileReplacesNothing)
{
    CreateNewFile(dir / "PMMaintu.xml", "<x/>\r\n", TWriteMode::Durable);
    EXPECT_EQ(test::ReadAll(dir / "PMMaintu.xml"), "<x/>\r\n");
    try {
        CreateNewFile(dir / "PMMaintu.xml", "other", TWriteMode::Durable);
        ADD_FAILURE();
    } catch (const EFCreateError& e) {
        EXPECT_EQ(e.Message(), "Cannot create file \"" + (dir / "PMMaintu.xml") + "\". File exists");
    }
    EXPECT_EQ(test::ReadAll(dir / "PMMaintu.xml"), "<x/>\r\n");
    {
        ScopedFileFault fault(TFileStep::Write, ENOSPC);
        EXPECT_THROW(CreateNewFile(dir / "second.xml", "x", TWriteMode::Durable), EWriteError);
    }
    EXPECT_EQ(dir.Entries(), (Names{"PMMaintu.xml"}));
}

} // namespace
} // namespace carlume
