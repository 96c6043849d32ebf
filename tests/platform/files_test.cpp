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
    WriteFileAtomically(dir / "f.dat", "first\r\n");
    EXPECT_EQ(test::ReadAll(dir / "f.dat"), "first\r\n");
    ::chmod((dir / "f.dat").c_str(), 0640);
    WriteFileAtomically(dir / "f.dat", std::string("second\0", 7));
    EXPECT_EQ(test::ReadAll(dir / "f.dat"), std::string("second\0", 7));
    struct stat st {};
    ASSERT_EQ(::stat((dir / "f.dat").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u) << "the old file's permissions are kept";
    WriteFileAtomically(dir / "empty", "");
    EXPECT_TRUE(FileExists(dir / "empty"));
    EXPECT_EQ(dir.Entries().size(), 2u) << "no temporary file left behind";
}

struct FaultCase {
    TFileStep step;
    int error;
    bool createError; // EFCreateError, else EWriteError
    const char* reason;
};

void PrintTo(const FaultCase& c, std::ostream* os)
{
    *os << "step " << int(c.step) << ", errno " << c.error;
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
        WriteFileAtomically(target, "replacement");
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
    ::testing::Values(FaultCase{TFileStep::Create, EACCES, true, "Permission denied"},
                      FaultCase{TFileStep::Write, ENOSPC, false, "No space left on device"},
                      FaultCase{TFileStep::Write, EIO, false, "Input/output error"},
                      FaultCase{TFileStep::Rename, EBUSY, true, "Device or resource busy"}),
    [](const auto& row) {
        const TFileStep step = row.param.step;
        return std::string(step == TFileStep::Create  ? "Create"
                           : step == TFileStep::Write ? "Write"
                                                      : "Rename") +
               "_" + strerrorname_np(row.param.error);
    });

TEST_F(FilesTest, AtomicWriteIntoAMissingOrImpossibleFolder)
{
    try {
        WriteFileAtomically(dir / "Data/cquery.dat", "x");
        ADD_FAILURE();
    } catch (const EFCreateError& e) {
        EXPECT_EQ(e.Message(),
                  "Cannot create file \"" + (dir / "Data/cquery.dat") + "\". No such file or directory");
    }
    test::WriteAll(dir / "plain", "x");
    EXPECT_THROW(WriteFileAtomically(dir / "plain/cquery.ini", "x"), EFCreateError);
    std::filesystem::create_directory(dir / "folder");
    EXPECT_THROW(WriteFileAtomically(dir / "folder", "x"), EFCreateError);
    EXPECT_TRUE(DirectoryExists(dir / "folder"));
    EXPECT_THROW(WriteFileAtomically("", "x"), EFCreateError);
    EXPECT_EQ(dir.Entries().size(), 2u);
}

TEST_F(FilesTest, CreateNewFileReplacesNothing)
{
    CreateNewFile(dir / "PMMaintu.xml", "<x/>\r\n");
    EXPECT_EQ(test::ReadAll(dir / "PMMaintu.xml"), "<x/>\r\n");
    try {
        CreateNewFile(dir / "PMMaintu.xml", "other");
        ADD_FAILURE();
    } catch (const EFCreateError& e) {
        EXPECT_EQ(e.Message(), "Cannot create file \"" + (dir / "PMMaintu.xml") + "\". File exists");
    }
    EXPECT_EQ(test::ReadAll(dir / "PMMaintu.xml"), "<x/>\r\n");
    {
        ScopedFileFault fault(TFileStep::Write, ENOSPC);
        EXPECT_THROW(CreateNewFile(dir / "second.xml", "x"), EWriteError);
    }
    EXPECT_EQ(dir.Entries(), (Names{"PMMaintu.xml"}));
}

} // namespace
} // namespace carlume
