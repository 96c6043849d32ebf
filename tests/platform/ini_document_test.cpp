#include "platform/ini_document.h"

#include "platform/exceptions.h"
#include "platform/files.h"
#include "platform/ini_files.h"
#include "platform/sysutils.h"
#include "tests/support/print_case_name.h"
#include "tests/support/scratch_folder.h"

#include <gtest/gtest.h>

#if !defined(__SANITIZE_ADDRESS__)
#include <malloc.h>
#endif
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <string>
#include <vector>

namespace carlume::test {
namespace {

// --- the index against a plain scan of the written text ----------------------------------------------------

struct PlainLine {
    char kind; // 's'ection, 'k'ey, 'o'ther
    std::string name, value;
};

// The reading rules applied line by line to a written (CR LF) text, with no index.
std::vector<PlainLine> PlainScan(const std::string& text)
{
    std::vector<PlainLine> lines;
    bool inSection = false;
    for (std::size_t at = 0, end; at < text.size(); at = end + 2) {
        end = text.find("\r\n", at);
        const std::string line = Trim(text.substr(at, end - at));
        const auto close = line.rfind(']');
        if (!line.empty() && line[0] == '[' && close != std::string::npos) {
            lines.push_back({'s', Trim(line.substr(1, close - 1)), ""});
            inSection = true;
        } else if (inSection && !line.empty() && line[0] != ';' && line.find('=') != std::string::npos) {
            const auto equals = line.find('=');
            lines.push_back({'k', Trim(line.substr(0, equals)), Trim(line.substr(equals + 1))});
        } else {
            lines.push_back({'o', "", ""});
        }
    }
    return lines;
}

// The keys of the first section of that name, in order, each name once with its first value.
std::vector<PlainLine> PlainKeys(const std::vector<PlainLine>& lines, const std::string& section)
{
    std::vector<PlainLine> keys;
    auto at = lines.begin();
    while (at != lines.end() && !(at->kind == 's' && SameText(at->name, section)))
        ++at;
    if (at == lines.end())
        return keys;
    for (++at; at < lines.end() && at->kind != 's'; ++at) {
        bool seen = false;
        for (const auto& key : keys)
            seen = seen || SameText(key.name, at->name);
        if (at->kind == 'k' && !seen)
            keys.push_back(*at);
    }
    return keys;
}

const char* const kProbedSections[] = {"A", "a", "B", "C", ""};
const char* const kProbedKeys[] = {"k", "K", "m", "x", "y", "z"};

// The value of a key by the plain scan of a written text.
std::optional<std::string> PlainValue(const std::vector<PlainLine>& lines, const std::string& section,
                                      const std::string& key)
{
    for (const auto& line : PlainKeys(lines, section))
        if (SameText(line.name, key))
            return line.value;
    return std::nullopt;
}

void ExpectSameAsPlainScan(const TIniDocument& document)
{
    const std::vector<PlainLine> lines = PlainScan(document.Serialize());
    std::vector<std::string> sections;
    for (const auto& line : lines) {
        bool seen = false;
        for (const auto& name : sections)
            seen = seen || SameText(name, line.name);
        if (line.kind == 's' && !seen)
            sections.push_back(line.name);
    }
    EXPECT_EQ(document.SectionNames(), sections);
    for (const std::string section : kProbedSections) {
        std::vector<std::string> names;
        for (const auto& key : PlainKeys(lines, section))
            names.push_back(key.name);
        EXPECT_EQ(document.KeyNames(section), names) << "[" << section << "]";
        for (const std::string key : kProbedKeys)
            EXPECT_EQ(document.FindView(section, key), PlainValue(lines, section, key))
                << "[" << section << "] " << key;
    }
}

struct Sequence {
    std::string Name;
    std::string file;
    // "w S K V" writes, "d S K" deletes a key, "e S" erases a section, "r" reads the written text anew; "-"
    // stands for an empty name.
    std::vector<std::string> steps;
    std::string expected;
};

// Applies a step to a document.
void Apply(TIniDocument& document, const std::string& step)
{
    std::vector<std::string> words;
    for (std::size_t at = 0, blank; at <= step.size(); at = blank + 1) {
        blank = std::min(step.find(' ', at), step.size());
        const std::string word = step.substr(at, blank - at);
        words.push_back(word == "-" ? "" : word);
    }
    if (words[0] == "w")
        document.Write(words[1], words[2], words[3]);
    else if (words[0] == "d")
        document.DeleteKey(words[1], words[2]);
    else if (words[0] == "e")
        document.EraseSection(words[1]);
    else
        document = TIniDocument::Parse(document.Serialize());
}

class IniIndexTest : public ::testing::TestWithParam<Sequence> {};

TEST_P(IniIndexTest, StaysRightThroughEveryChange)
{
    const Sequence& c = GetParam();
    // Indexed before the changes (the first check lists every section), and indexed only after them.
    TIniDocument indexed = TIniDocument::Parse(c.file);
    TIniDocument changed = TIniDocument::Parse(c.file);
    ExpectSameAsPlainScan(indexed);
    for (std::size_t done = 1; done <= c.steps.size(); ++done) {
        const std::string& step = c.steps[done - 1];
        Apply(indexed, step);
        Apply(changed, step);
        SCOPED_TRACE("after \"" + step + "\"");
        ExpectSameAsPlainScan(indexed);
        EXPECT_EQ(changed.Serialize(), indexed.Serialize());
        // One look-up into a document changed the same way reads its lines: too little to build the index.
        const std::vector<PlainLine> lines = PlainScan(indexed.Serialize());
        for (const std::string section : kProbedSections)
            for (const std::string key : kProbedKeys) {
                TIniDocument fresh = TIniDocument::Parse(c.file);
                for (std::size_t i = 0; i < done; ++i)
                    Apply(fresh, c.steps[i]);
                EXPECT_EQ(fresh.FindView(section, key), PlainValue(lines, section, key))
                    << "[" << section << "] " << key;
            }
    }
    ExpectSameAsPlainScan(changed);
    EXPECT_EQ(indexed.Serialize(), c.expected);
    EXPECT_EQ(changed.Serialize(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, IniIndexTest,
    ::testing::Values(Sequence{"ChangedInPlaceInTheSpellingPassed",
                               "[A]\r\nk=1\r\nx=2\r\n",
                               {"w a K 3", "w A x 4"},
                               "[A]\r\nK=3\r\nx=4\r\n"},
                      Sequence{"NewKeyAfterTheLastKey",
                               "[A]\r\nk=1\r\n; note\r\n\r\n[B]\r\n",
                               {"w A m 2", "w B k 3"},
                               "[A]\r\nk=1\r\nm=2\r\n; note\r\n\r\n[B]\r\nk=3\r\n"},
                      Sequence{"LastKeyDeletedThenOneAdded",
                               "[A]\r\nx=1\r\n;c\r\ny=2\r\n\r\n[B]\r\n",
                               {"d A y", "w A z 3"},
                               "[A]\r\nx=1\r\nz=3\r\n;c\r\n\r\n[B]\r\n"},
                      Sequence{"EveryKeyDeletedThenOneAdded",
                               "[A]\r\n;c\r\nx=1\r\ny=2\r\n",
                               {"d A x", "d a Y", "w A z 3"},
                               "[A]\r\nz=3\r\n;c\r\n"},
                      Sequence{"DuplicatesDeletedInEverySectionOfTheName",
                               "[A]\r\nk=1\r\nK=2\r\n[B]\r\nk=3\r\n[a]\r\nk=4\r\nm=5\r\n",
                               {"d A k", "w A m 6", "w a k 7"},
                               "[A]\r\nm=6\r\nk=7\r\n[B]\r\nk=3\r\n[a]\r\nm=5\r\n"},
                      Sequence{"EverySectionOfTheNameErasedThenMadeAnew",
                               "[A]\r\nk=1\r\n[B]\r\nk=2\r\n[a]\r\nk=3\r\n",
                               {"e a", "w C k 4", "w A k 5", "w B m 6"},
                               "[B]\r\nk=2\r\nm=6\r\n[C]\r\nk=4\r\n[A]\r\nk=5\r\n"},
                      Sequence{"LinesOutsideSectionsKept",
                               "k=0\r\n\r\n\n\r[A]\n\nk=1\r\n; end",
                               {"w A x 2", "w - k 3", "d A k", "w A k 4"},
                               "k=0\r\n\r\n\r\n\r\n[A]\r\n\r\nx=2\r\nk=4\r\n; end\r\n[]\r\nk=3\r\n"},
                      Sequence{"ReadAnewBetweenChanges",
                               "[A]\r\nk=1\r\n[B]\r\nx=1\r\n",
                               {"w B y 2", "r", "e A", "r", "w A k 3", "d B x", "r", "w B z 4"},
                               "[B]\r\ny=2\r\nz=4\r\n[A]\r\nk=3\r\n"},
                      Sequence{"RepeatedKeyChangedThenDeleted",
                               "[A]\r\nk=1\r\nk=2\r\nm=0\r\n",
                               {"w A k 3", "w A n 4", "d A k", "w A k 5"},
                               "[A]\r\nm=0\r\nn=4\r\nk=5\r\n"},
                      Sequence{"SectionsErasedAroundChangedAndNewOnes",
                               "[A]\r\nx=1\r\n[B]\r\ny=1\r\n",
                               {"w A z 2", "e A", "w C c 3", "w B y 4", "e C", "w C d 5", "w A a 6"},
                               "[B]\r\ny=4\r\n[C]\r\nd=5\r\n[A]\r\na=6\r\n"},
                      Sequence{"PlacesOfRemovedLinesUsedAgain",
                               "[A]\r\nx=1\r\n[B]\r\nk=1\r\nk=2\r\n[C]\r\ny=1\r\n",
                               {"d A x", "e C", "w B m 3", "w C k 4", "w A x 5", "d B k", "w B k 6"},
                               "[A]\r\nx=5\r\n[B]\r\nm=3\r\nk=6\r\n[C]\r\nk=4\r\n"}),
    ByName);

// --- memory
// -------------------------------------------------------------------------------------------------

#if defined(__SANITIZE_ADDRESS__)
// From the sanitizer's run-time (the compiler ships no header for it).
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

std::size_t HeapInUse()
{
#if defined(__SANITIZE_ADDRESS__)
    return __sanitizer_get_current_allocated_bytes();
#else
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
#endif
}

// A file of blocks, the n-th made by `block(n)`, to about `size` bytes.
std::string FileOfBlocks(std::string (*block)(int), std::size_t size)
{
    std::string bytes;
    for (int n = 0; bytes.size() < size; ++n)
        bytes += block(n);
    return bytes;
}

struct LargeFile {
    std::string Name;
    std::string (*block)(int);
    double read;    // the most held once read, in times the file's size
    double indexed; // ... once every section is listed, which builds the index
};

class IniMemoryTest : public ::testing::TestWithParam<LargeFile> {
protected:
    test::ScratchFolder dir;
};

TEST_P(IniMemoryTest, HeldInAFewTimesItsSize)
{
    const std::size_t size = 4 << 20;
    test::WriteAll(dir / "large.ini", FileOfBlocks(GetParam().block, size));
    const std::size_t before = HeapInUse();
    TMemIniFile ini(dir / "large.ini", TWriteMode::Unsynced);
    EXPECT_LE(double(HeapInUse() - before), GetParam().read * double(size));
    {
        TStringList names;
        ini.ReadSections(names);
    }
    EXPECT_LE(double(HeapInUse() - before), GetParam().indexed * double(size));
}

INSTANTIATE_TEST_SUITE_P(
    Files, IniMemoryTest,
    ::testing::Values(
        LargeFile{"BlankLines", [](int) { return std::string("\n"); }, 1.1, 1.1},
        LargeFile{"Comments", [](int) { return std::string("; a comment\r\n"); }, 1.1, 1.1},
        LargeFile{"OneLongValue", [](int) { return "[General]\r\nDescription=" + std::string(4 << 20, 'x'); },
                  1.1, 1.1},
        LargeFile{"SectionsOfThreeKeys",
                  [](int) {
                      return std::string(
                          "[Version Info]\r\nLocation=/opt/Qelvo/\r\nNumber=1.4.2\r\n[Last]\r\n"
                          "CommandLine=/opt/Qelvo/cquery /VIN=1AVQL14S1A /YEAR=2010\r\n");
                  },
                  1.1, 2.0},
        LargeFile{"SectionsOfOneShortKey", [](int n) { return "[S" + std::to_string(n) + "]\nk=v\n"; }, 1.1,
                  3.0},
        LargeFile{"NumberedSections", [](int n) { return "[" + std::to_string(n) + "]\n"; }, 1.1, 2.5},
        LargeFile{"OneShortKeyRepeated", [](int n) { return std::string(n == 0 ? "[S]\n" : "k=v\n"); }, 1.1,
                  1.1}),
    ByName);

TEST(IniMemory, AFileTooLargeForMemoryIsAClearErrorNamingIt)
{
    test::ScratchFolder dir;
    const std::string path = dir / "cquery.ini";
    test::WriteAll(path, "[Last]\r\nCommandLine=x\r\n");
    const ScopedFileFault outOfMemory(TFileStep::Read, ENOMEM);
    try {
        TMemIniFile ini(path, TWriteMode::Unsynced);
        ADD_FAILURE() << "no error";
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message(), "Cannot open file \"" + path + "\". " + std::string(STooLargeForMemory));
    }
}

// A helper process built without the sanitizers reads a file as the program does, under a limit of its
// address space (what it uses at start and 128 MB): what fits in a few times its size is read, written
// back or read in part; beyond that the error names the file. A file the document cannot hold is refused
// without being read.
TEST(IniMemory, UnderAnAddressSpaceLimit)
{
    struct Row {
        const char* name;
        std::string bytes; // "" for a file of zeros of `megabytes`
        std::size_t megabytes;
        const char* what;
        int status; // of the helper: 0 done, 1 refused as too large for memory, 4 as too large to read
    };
    const std::string sections =
        FileOfBlocks([](int n) { return "[S" + std::to_string(n) + "]\nk=v\n"; }, 24 << 20);
    const std::string description = "[General]\r\nDescription=" + std::string(80 << 20, 'x') + "\r\n";
    const Row rows[] = {
        {"zeros read and written back", "", 16, "update", 0},
        {"zeros beyond the limit", "", 512, "update", 1},
        {"zeros at the INI document's limit, refused unread", "", kIniFileSizeLimit >> 20, "update", 4},
        {"short sections read and written back", sections, 0, "update", 0},
        {"a long description read in part", description, 0, "prefix", 0},
        {"a long description written back", description, 0, "update", 1},
    };
    test::ScratchFolder dir;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string path = dir / "limited.ini";
        test::WriteAll(path, row.bytes);
        if (row.bytes.empty()) {
            ASSERT_EQ(::truncate(path.c_str(), off_t(row.megabytes) << 20), 0);
        }
        const pid_t child = ::fork();
        if (child == 0) {
            ::execl(CARLUME_INI_READ_UNDER_LIMIT, CARLUME_INI_READ_UNDER_LIMIT, path.c_str(), "128", row.what,
                    static_cast<char*>(nullptr));
            ::_exit(127);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status)) << "signal " << WTERMSIG(status);
        EXPECT_EQ(WEXITSTATUS(status), row.status);
    }
}

} // namespace
} // namespace carlume::test
