#include "platform/file_version.h"

#include "tests/support/elf_image.h"
#include "tests/support/named_pipe.h"
#include "tests/support/scratch_folder.h"

#include <dlfcn.h>
#include <elf.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

namespace carlume {
namespace {

namespace fs = std::filesystem;

fs::path SelfPath()
{
    return fs::read_symlink("/proc/self/exe");
}

class FileVersionTest : public ::testing::Test {
protected:
    test::ScratchFolder scratch;
    const fs::path dir = scratch.Path();
};

using test::MakeElf;
using test::Note;
using test::Place;
using test::ReadAll;
using test::WriteAll;
constexpr std::uint32_t kType = test::kPackageNoteType;

TEST_F(FileVersionTest, OwnBinariesCarryTheProjectVersion)
{
    EXPECT_EQ(ReadFileVersionKey(SelfPath(), "FileVersion"), CARLUME_EXPECTED_VERSION);
    EXPECT_EQ(ReadFileVersionKey(SelfPath(), "ProductVersion"), CARLUME_EXPECTED_VERSION);
    EXPECT_EQ(ReadFileVersionKey(SelfPath(), "ProductName"), "Carlume");
    EXPECT_EQ(ReadFileVersionKey(SelfPath(), "OriginalFilename"), "platform_tests");
    EXPECT_EQ(ReadFileVersionKey(SelfPath(), "CompanyName"), "Tamsel Software");
    EXPECT_EQ(ReadFileVersionKey(CARLUME_PROBE_LIBRARY, "FileVersion"), CARLUME_EXPECTED_VERSION);
    EXPECT_EQ(ReadFileVersionKey(CARLUME_PROBE_LIBRARY, "OriginalFilename"), "libversion_probe.so");
}

TEST_F(FileVersionTest, TheRunningProgramReadsFromItsImageAsFromItsFile)
{
    // The running program's note comes from its mapped image; a copy of its file is read by libelf.
    const std::string file = ReadAll(SelfPath().string());
    for (const char* key : {"FileVersion", "ProductName", "OriginalFilename", "Comments", "NoSuchKey"})
        EXPECT_EQ(ReadFileVersionKey(SelfPath(), key),
                  ReadFileVersionKeyFromMemory(file.data(), file.size(), key))
            << key;
}

TEST_F(FileVersionTest, TheRunningProgramsVersionNeedsNoLibelf)
{
    // A fresh process (threadsafe style runs this test alone) reads its own version without loading libelf.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            const bool read = ReadFileVersionKey(SelfPath(), "FileVersion") == CARLUME_EXPECTED_VERSION;
            std::exit(read && ::dlopen("libelf.so.1", RTLD_NOW | RTLD_NOLOAD) == nullptr ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(FileVersionTest, KeysAreMatchedWithoutCaseAndEmptyOnesReadEmpty)
{
    EXPECT_EQ(ReadFileVersionKey(SelfPath(), "fileversion"), CARLUME_EXPECTED_VERSION);
    EXPECT_EQ(ReadFileVersionKey(SelfPath(), "LegalTrademarks"), "");
    EXPECT_EQ(ReadFileVersionKey(SelfPath(), "Comments"), "");
    EXPECT_EQ(ReadFileVersionKey(SelfPath(), "NoSuchKey"), "");
    EXPECT_EQ(ReadFileVersionKey(SelfPath(), ""), "");
}

TEST_F(FileVersionTest, AStrippedCopyKeepsItsVersion)
{
    const fs::path copy = dir / "stripped";
    fs::copy_file(SelfPath(), copy);
    const std::string command = "strip --strip-all '" + copy.string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    ASSERT_LT(fs::file_size(copy), fs::file_size(SelfPath()));
    EXPECT_EQ(ReadFileVersionKey(copy, "FileVersion"), CARLUME_EXPECTED_VERSION);
}

TEST_F(FileVersionTest, FilesWithoutAVersionReadEmpty)
{
    EXPECT_EQ(ReadFileVersionKey((dir / "missing").string(), "FileVersion"), "");
    EXPECT_EQ(ReadFileVersionKey(dir.string(), "FileVersion"), "");

    WriteAll((dir / "empty").string(), "");
    EXPECT_EQ(ReadFileVersionKey((dir / "empty").string(), "FileVersion"), "");

    WriteAll((dir / "text").string(), "[General]\nFileVersion=9.9.9.9\n");
    EXPECT_EQ(ReadFileVersionKey((dir / "text").string(), "FileVersion"), "");

    WriteAll((dir / "magic-only").string(), std::string(ELFMAG) + std::string(60, 'x'));
    EXPECT_EQ(ReadFileVersionKey((dir / "magic-only").string(), "FileVersion"), "");

    const test::ScopedNamedPipe pipe((dir / "pipe").string());
    EXPECT_EQ(ReadFileVersionKey((dir / "pipe").string(), "FileVersion"), "");
    EXPECT_FALSE(pipe.ReleasedAReader()) << "a named pipe was opened as a file";
}

TEST_F(FileVersionTest, TruncatedCopiesNeverCrashAndNeverInventAVersion)
{
    const std::string self = ReadAll(SelfPath().string());
    ASSERT_GT(self.size(), 4096u);
    for (std::size_t size : {std::size_t(4), std::size_t(52), std::size_t(64), std::size_t(200),
                             std::size_t(1000), self.size() / 3, self.size() - 1}) {
        const fs::path cut = dir / ("cut-" + std::to_string(size));
        WriteAll(cut.string(), self.substr(0, size));
        const std::string value = ReadFileVersionKey(cut.string(), "FileVersion");
        EXPECT_TRUE(value.empty() || value == CARLUME_EXPECTED_VERSION) << size << ": " << value;
    }
}

TEST_F(FileVersionTest, NotesInSegmentsAndSectionsAreBothRead)
{
    const std::string notes = Note("FDO", kType, R"({"FileVersion":"2.3.4.5"})");
    for (Place place : {Place::Segment, Place::Section}) {
        const std::string image = MakeElf(notes, place);
        WriteAll((dir / "built").string(), image);
        EXPECT_EQ(ReadFileVersionKey((dir / "built").string(), "FileVersion"), "2.3.4.5");
        EXPECT_EQ(ReadFileVersionKeyFromMemory(image.data(), image.size(), "FileVersion"), "2.3.4.5");
    }
}

TEST_F(FileVersionTest, OtherNotesAreSkippedAndTheFirstNoteWithTheKeyWins)
{
    const std::string notes =
        Note("GNU", 3, "0123456789abcdef") + Note("FDO", 1, R"({"FileVersion":"wrong type"})") +
        Note("FDX", kType, R"({"FileVersion":"wrong owner"})") +
        Note("FDO", kType, R"({"ProductName":"first"})") +
        Note("FDO", kType, R"({"FileVersion":"7.0.0.1"})") + Note("FDO", kType, R"({"FileVersion":"later"})");
    const std::string image = MakeElf(notes, Place::Segment);
    EXPECT_EQ(ReadFileVersionKeyFromMemory(image.data(), image.size(), "FileVersion"), "7.0.0.1");
    EXPECT_EQ(ReadFileVersionKeyFromMemory(image.data(), image.size(), "ProductName"), "first");
}

TEST_F(FileVersionTest, CorruptNotesReadEmpty)
{
    struct Case {
        const char* what;
        std::string notes;
    };
    const Case cases[] = {
        {"malformed JSON", Note("FDO", kType, R"({"FileVersion":"1.0)")},
        {"JSON that is not an object", Note("FDO", kType, R"(["FileVersion","1.0"])")},
        {"value that is not a string", Note("FDO", kType, R"({"FileVersion":1.5})")},
        {"no terminating NUL", Note("FDO", kType, std::string(R"({"FileVersion":"1"})"), 18)},
        {"payload size beyond the data", Note("FDO", kType, R"({"FileVersion":"1.0"})", 0x7ffffff0)},
        {"owner size beyond the data",
         [] {
             std::string n = Note("FDO", kType, R"({"FileVersion":"1.0"})");
             const std::uint32_t huge = 0xfffffff0U;
             std::memcpy(n.data(), &huge, 4);
             return n;
         }()},
        {"header cut short", Note("FDO", kType, R"({"FileVersion":"1.0"})").substr(0, 10)},
        {"empty payload", Note("FDO", kType, "", 0)},
    };
    for (const Case& c : cases) {
        for (Place place : {Place::Segment, Place::Section}) {
            const std::string image = MakeElf(c.notes, place);
            const std::string value = ReadFileVersionKeyFromMemory(image.data(), image.size(), "FileVersion");
            // A payload cut before its closing quote must not be accepted as a version either.
            EXPECT_EQ(value, "") << c.what;
        }
    }
}

TEST_F(FileVersionTest, ProgramHeaderPointingOutsideTheFileReadsEmpty)
{
    std::string image = MakeElf(Note("FDO", kType, R"({"FileVersion":"1.0"})"), Place::Segment);
    Elf64_Phdr ph;
    std::memcpy(&ph, image.data() + sizeof(Elf64_Ehdr), sizeof(ph));
    ph.p_offset = 0xffffffffffff0000ULL;
    std::memcpy(image.data() + sizeof(Elf64_Ehdr), &ph, sizeof(ph));
    EXPECT_EQ(ReadFileVersionKeyFromMemory(image.data(), image.size(), "FileVersion"), "");
    EXPECT_EQ(ReadFileVersionKeyFromMemory(image.data(), 0, "FileVersion"), "");
    EXPECT_EQ(ReadFileVersionKeyFromMemory(nullptr, 10, "FileVersion"), "");
}

} // namespace
} // namespace carlume
