#include "platform/ini_files.h"

#include "platform/exceptions.h"
#include "platform/files.h"
#include "tests/support/print_case_name.h"
#include "tests/support/scratch_folder.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace carlume {
namespace {

using Lines = std::vector<std::string>;

Lines ListOf(const TStringList& list)
{
    return list.ToVector();
}

// One file that holds every reading rule.
const std::string kFixture = "; leading comment\r\n"
                             "orphan=before any section\r\n"
                             "[ General ]\r\n"
                             "  Key =  v  \r\n"
                             "Empty=\r\n"
                             "#hash=not a comment\r\n"
                             "no equals sign\r\n"
                             "Inline=b ;c\r\n"
                             "Dup=first\r\n"
                             "dup=second\r\n"
                             "Equation=a=b\r\n"
                             "[General] ;x\r\n"
                             "AfterFakeHeader=1\r\n"
                             "\r\n"
                             "[Lf]\n"
                             "A=1\n"
                             "[Cr]\r"
                             "B=2\r"
                             "[general]\r\n"
                             "Dup=third\r\n"
                             "OnlyInSecond=x\r\n"
                             "[]\r\n"
                             "Nameless=yes\r\n";

class IniReadTest : public ::testing::Test {
protected:
    void SetUp() override { test::WriteAll(dir / "f.ini", kFixture); }
    test::ScratchFolder dir;
};

TEST_F(IniReadTest, ReadingRules)
{
    TMemIniFile ini(dir / "f.ini", TWriteMode::Unsynced);
    EXPECT_EQ(ini.ReadString("general", "key", "def"), "v");
    EXPECT_EQ(ini.ReadString("GENERAL", "Empty", "def"), "") << "stored empty, not the default";
    EXPECT_EQ(ini.ReadString("General", "Missing", "def"), "def");
    EXPECT_EQ(ini.ReadString("Missing", "Key", "def"), "def");
    EXPECT_EQ(ini.ReadString("General", "#hash", ""), "not a comment");
    EXPECT_FALSE(ini.ValueExists("General", "no equals sign"));
    EXPECT_EQ(ini.ReadString("General", "Inline", ""), "b ;c");
    EXPECT_EQ(ini.ReadString("General", "DUP", ""), "first");
    EXPECT_EQ(ini.ReadString("General", "Equation", ""), "a=b");
    EXPECT_FALSE(ini.ValueExists("General", "AfterFakeHeader")) << "\"[General] ;x\" starts a second General";
    EXPECT_EQ(ini.ReadString("Lf", "A", ""), "1");
    EXPECT_EQ(ini.ReadString("Cr", "B", ""), "2");
    EXPECT_FALSE(ini.ValueExists("General", "OnlyInSecond")) << "the first section of a name is the one read";
    EXPECT_EQ(ini.ReadString("", "Nameless", ""), "yes");
    EXPECT_FALSE(ini.ValueExists("General", "orphan"));
    EXPECT_EQ(ini.ReadString(" General ", " Key ", ""), "v") << "requested names are trimmed too";
}

TEST_F(IniReadTest, Listings)
{
    TMemIniFile ini(dir / "f.ini", TWriteMode::Unsynced);
    TStringList list;
    list.Add("stale");
    ini.ReadSections(list);
    EXPECT_EQ(ListOf(list), (Lines{"General", "Lf", "Cr", ""}));
    ini.ReadSection("general", list);
    EXPECT_EQ(ListOf(list), (Lines{"Key", "Empty", "#hash", "Inline", "Dup", "Equation"}));
    ini.ReadSectionValues("Lf", list);
    EXPECT_EQ(ListOf(list), (Lines{"A=1"}));
    ini.ReadSection("Missing", list);
    EXPECT_EQ(list.Count(), 0);
    ini.ReadSectionValues("General", list);
    EXPECT_EQ(list[4], "Dup=first");
    EXPECT_TRUE(ini.SectionExists("CR"));
    EXPECT_FALSE(ini.SectionExists("Missing"));
}

TEST_F(IniReadTest, NumbersAndBooleans)
{
    test::WriteAll(dir / "n.ini",
                   "[S]\r\nDec= 42 \r\nHex=$1F\r\nHex0x=0x10\r\nBad=12a\r\nOne=1\r\nZero=0\r\nTwo=2\r\n"
                   "Word=true\r\nNeg=-5\r\n");
    TMemIniFile ini(dir / "n.ini", TWriteMode::Unsynced);
    EXPECT_EQ(ini.ReadInteger("S", "Dec", 0), 42);
    EXPECT_EQ(ini.ReadInteger("S", "Hex", 0), 31);
    EXPECT_EQ(ini.ReadInteger("S", "Hex0x", 0), 16);
    EXPECT_EQ(ini.ReadInteger("S", "Bad", 10), 10);
    EXPECT_EQ(ini.ReadInteger("S", "Missing", 10), 10);
    EXPECT_EQ(ini.ReadInteger("S", "Neg", 0), -5);
    EXPECT_TRUE(ini.ReadBool("S", "One", false));
    EXPECT_FALSE(ini.ReadBool("S", "Zero", true));
    EXPECT_TRUE(ini.ReadBool("S", "Two", false));
    EXPECT_TRUE(ini.ReadBool("S", "Word", true)) << "not a number: the default";
    EXPECT_FALSE(ini.ReadBool("S", "Word", false));
    EXPECT_TRUE(ini.ReadBool("S", "Missing", true));
}

TEST_F(IniReadTest, BadInputNeverCrashesOrLosesSections)
{
    std::string junk = "\xEF\xBB\xBF[First]\r\nA=1\r\n";
    junk += std::string("\0\xff\x01=\x02\r\n", 7) + "[=]\r\r\n\n";
    junk += "[Second]\r\nB=" + std::string(1 << 20, 'x') + "\r\n";
    junk += std::string(3000, '[') + "\r\n[Third]\r\nC=3";
    test::WriteAll(dir / "junk.ini", junk);
    TMemIniFile ini(dir / "junk.ini", TWriteMode::Unsynced);
    EXPECT_EQ(ini.ReadString("First", "A", ""), "1") << "the byte-order mark hides nothing";
    EXPECT_EQ(ini.ReadString("Second", "B", "").size(), std::size_t(1) << 20);
    EXPECT_EQ(ini.ReadString("Third", "C", ""), "3");
    ini.WriteString("Third", "D", "4");
    ini.UpdateFile();
    const std::string written = test::ReadAll(dir / "junk.ini");
    EXPECT_EQ(written.substr(0, 3), "\xEF\xBB\xBF") << "the byte-order mark is written back";
    TMemIniFile again(dir / "junk.ini", TWriteMode::Unsynced);
    TStringList sections;
    again.ReadSections(sections);
    EXPECT_EQ(ListOf(sections), (Lines{"First", "=", "Second", "Third"}));
    EXPECT_EQ(again.ReadString("Third", "D", ""), "4");

    test::WriteAll(dir / "empty.ini", "");
    TMemIniFile empty(dir / "empty.ini", TWriteMode::Unsynced);
    empty.ReadSections(sections);
    EXPECT_EQ(sections.Count(), 0);
    TMemIniFile missing(dir / "missing.ini", TWriteMode::Unsynced);
    EXPECT_EQ(missing.ReadString("S", "K", "d"), "d");
    EXPECT_FALSE(FileExists(dir / "missing.ini")) << "reading creates nothing";
}

TEST(IniWriteTest, RoundTripKeepsCommentsAndForeignSectionsByteForByte)
{
    test::ScratchFolder dir;
    const std::string original = "; written by another program\r\n"
                                 "[Foreign]\r\n"
                                 "  Spaced  =  kept as it was  \r\n"
                                 ";comment inside\r\n"
                                 "odd line\r\n"
                                 "\r\n"
                                 "[Version Info]\r\n"
                                 "Location=/old/\r\n"
                                 "Number=0.9\r\n"
                                 "\r\n"
                                 "; about Last\r\n"
                                 "[Last]\r\n"
                                 "CommandLine=old\r\n";
    test::WriteAll(dir / "cquery.ini", original);
    TMemIniFile ini(dir / "cquery.ini", TWriteMode::Unsynced);
    ini.UpdateFile();
    EXPECT_EQ(test::ReadAll(dir / "cquery.ini"), original) << "an unchanged file is written back as it was";
    ini.WriteString("version info", "location", "/opt/carlume/");
    ini.WriteString("Version Info", "Build", "7");
    ini.WriteString("Settings", "UseOrigSymbol", "1");
    ini.UpdateFile();
    EXPECT_EQ(test::ReadAll(dir / "cquery.ini"), "; written by another program\r\n"
                                                 "[Foreign]\r\n"
                                                 "  Spaced  =  kept as it was  \r\n"
                                                 ";comment inside\r\n"
                                                 "odd line\r\n"
                                                 "\r\n"
                                                 "[Version Info]\r\n"
                                                 "location=/opt/carlume/\r\n"
                                                 "Number=0.9\r\n"
                                                 "Build=7\r\n"
                                                 "\r\n"
                                                 "; about Last\r\n"
                                                 "[Last]\r\n"
                                                 "CommandLine=old\r\n"
                                                 "[Settings]\r\n"
                                                 "UseOrigSymbol=1\r\n");
}

TEST(IniWriteTest, LfFilesAreWrittenBackWithCrLf)
{
    test::ScratchFolder dir;
    test::WriteAll(dir / "f.ini", "[A]\nx=1\n; c\n");
    TMemIniFile ini(dir / "f.ini", TWriteMode::Unsynced);
    ini.WriteInteger("A", "y", -3);
    ini.WriteBool("A", "b", true);
    ini.UpdateFile();
    EXPECT_EQ(test::ReadAll(dir / "f.ini"), "[A]\r\nx=1\r\ny=-3\r\nb=1\r\n; c\r\n");
}

TEST(IniWriteTest, VersionFileCleanupGolden)
{
    test::ScratchFolder dir;
    test::WriteAll(dir / "P5_USER.ver", "[General]\r\nBuildDate=20240131\r\nDescription=Rating tables\r\n"
                                        "LongACTID=ABC-123\r\n");
    {
        TMemIniFile ini(dir / "P5_USER.ver", TWriteMode::Unsynced);
        ini.WriteString("General", "BuildDate", "");
    }
    EXPECT_EQ(test::ReadAll(dir / "P5_USER.ver"),
              "[General]\r\nBuildDate=20240131\r\nDescription=Rating tables\r\nLongACTID=ABC-123\r\n")
        << "nothing is written without UpdateFile";
    TMemIniFile ini(dir / "P5_USER.ver", TWriteMode::Unsynced);
    ini.WriteString("General", "BuildDate", "");
    ini.UpdateFile();
    EXPECT_EQ(test::ReadAll(dir / "P5_USER.ver"),
              "[General]\r\nBuildDate=\r\nDescription=Rating tables\r\nLongACTID=ABC-123\r\n");
}

TEST(IniWriteTest, DeleteKeyAndEraseSectionRemoveEveryDuplicate)
{
    test::ScratchFolder dir;
    test::WriteAll(dir / "d.ini", "[A]\r\nK=1\r\nk=2\r\nOther=x\r\n[B]\r\nK=b\r\n[a]\r\nK=3\r\n[C]\r\n");
    TMemIniFile ini(dir / "d.ini", TWriteMode::Unsynced);
    ini.DeleteKey("A", "K");
    EXPECT_FALSE(ini.ValueExists("A", "K"));
    EXPECT_EQ(ini.ReadString("B", "K", ""), "b");
    ini.UpdateFile();
    EXPECT_EQ(test::ReadAll(dir / "d.ini"), "[A]\r\nOther=x\r\n[B]\r\nK=b\r\n[a]\r\n[C]\r\n");
    ini.WriteString("A", "K", "new");
    ini.EraseSection("a");
    EXPECT_FALSE(ini.SectionExists("A"));
    ini.UpdateFile();
    EXPECT_EQ(test::ReadAll(dir / "d.ini"), "[B]\r\nK=b\r\n[C]\r\n");
    ini.DeleteKey("Missing", "K");
    ini.EraseSection("Missing");
    ini.WriteString("C", "K", "c");
    ini.UpdateFile();
    EXPECT_EQ(test::ReadAll(dir / "d.ini"), "[B]\r\nK=b\r\n[C]\r\nK=c\r\n");
}

struct RefusedCase {
    const char* section;
    const char* key;
    std::string value;
    const char* reason;
};

void PrintTo(const RefusedCase& c, std::ostream* os)
{
    *os << ::testing::PrintToString(std::string(c.section)) << " "
        << ::testing::PrintToString(std::string(c.key)) << " " << ::testing::PrintToString(c.value);
}

class IniRefusalTest : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(IniRefusalTest, TextsALineCannotHoldAreRefusedAndNothingChanges)
{
    test::ScratchFolder dir;
    const std::string path = dir / "s.ini";
    const std::string original = "[S]\r\nK=old\r\n";
    test::WriteAll(path, original);
    const auto& c = GetParam();
    const std::string expected = "Unable to write to " + path + ". " + c.reason;
    TMemIniFile memory(path, TWriteMode::Unsynced);
    try {
        memory.WriteString(c.section, c.key, c.value);
        ADD_FAILURE() << "not refused";
    } catch (const EIniFileException& e) {
        EXPECT_EQ(e.Message(), expected);
    }
    memory.UpdateFile();
    EXPECT_EQ(test::ReadAll(path), original);
    TIniFile direct(path, TWriteMode::Unsynced);
    EXPECT_THROW(direct.WriteString(c.section, c.key, c.value), EIniFileException);
    EXPECT_EQ(test::ReadAll(path), original);
}

INSTANTIATE_TEST_SUITE_P(
    Table, IniRefusalTest,
    ::testing::Values(RefusedCase{"S", "K", "a\nb", "A value cannot hold a line break or a NUL byte."},
                      RefusedCase{"S", "K", "a\r\n[x]", "A value cannot hold a line break or a NUL byte."},
                      RefusedCase{"S", "K", std::string("a\0b", 3),
                                  "A value cannot hold a line break or a NUL byte."},
                      RefusedCase{"S\nT", "K", "v", "A section name cannot hold a line break or a NUL byte."},
                      RefusedCase{"S", "K\r", "v", "A key name cannot hold a line break or a NUL byte."},
                      RefusedCase{"S", "a=b", "v", "A key name cannot hold \"=\"."},
                      RefusedCase{"S", "  ", "v", "A key name cannot be empty."},
                      RefusedCase{"S", ";K", "v", "A key name cannot start with \";\" or \"[\"."},
                      RefusedCase{"S", "[K", "v", "A key name cannot start with \";\" or \"[\"."}),
    [](const auto& row) {
        return test::Spelled(row.param.section) + "_" + test::Spelled(row.param.key) + "_" +
               test::Spelled(row.param.value);
    });

TEST(IniWriteTest, Utf16FilesAreNeverRewritten)
{
    test::ScratchFolder dir;
    const std::string path = dir / "wide.ver";
    const std::string wide("\xFF\xFE[\0G\0]\0\r\0\n\0", 12);
    test::WriteAll(path, wide);
    TMemIniFile ini(path, TWriteMode::Unsynced);
    EXPECT_FALSE(ini.SectionExists("G"));
    try {
        ini.WriteString("G", "K", "v");
        ADD_FAILURE();
    } catch (const EIniFileException& e) {
        EXPECT_EQ(e.Message(), "Unable to write to " + path +
                                   ". The file is UTF-16 text, which this program does not rewrite.");
    }
    ini.DeleteKey("G", "K");
    ini.UpdateFile();
    EXPECT_EQ(test::ReadAll(path), wide);
    TIniFile direct(path, TWriteMode::Unsynced);
    EXPECT_THROW(direct.WriteString("G", "K", "v"), EIniFileException);
    EXPECT_EQ(test::ReadAll(path), wide);
}

TEST(IniWriteTest, OddButStorableNamesRoundTrip)
{
    test::ScratchFolder dir;
    TMemIniFile ini(dir / "o.ini", TWriteMode::Unsynced);
    ini.WriteString("a]b", "k]", "=v=");
    ini.WriteString("", "k", "v");
    ini.WriteString(" [x ", " spaced ", "  padded  ");
    ini.UpdateFile();
    TMemIniFile back(dir / "o.ini", TWriteMode::Unsynced);
    EXPECT_EQ(back.ReadString("a]b", "k]", ""), "=v=");
    EXPECT_EQ(back.ReadString("", "k", ""), "v");
    EXPECT_EQ(back.ReadString("[x", "spaced", ""), "padded") << "values are trimmed when read";
}

TEST(MemIniFileTest, ReloadUpdateAndFailures)
{
    test::ScratchFolder dir;
    const std::string path = dir / "m.ini";
    test::WriteAll(path, "[S]\r\nK=1\r\n");
    TMemIniFile ini(path, TWriteMode::Unsynced);
    ini.WriteString("S", "K", "2");
    ini.Rename(path, true);
    EXPECT_EQ(ini.ReadString("S", "K", ""), "1") << "reloading drops unsaved changes";
    ini.WriteString("S", "K", "3");
    ini.Rename(dir / "other.ini", false);
    EXPECT_EQ(ini.FileName(), dir / "other.ini");
    ini.UpdateFile();
    EXPECT_EQ(test::ReadAll(dir / "other.ini"), "[S]\r\nK=3\r\n");
    ini.Rename(dir / "missing.ini", true);
    EXPECT_FALSE(ini.SectionExists("S"));
    ini.WriteString("S", "K", "4");
    std::filesystem::create_directory(dir / "folder.ini");
    EXPECT_THROW(ini.Rename(dir / "folder.ini", true), EFOpenError);
    EXPECT_EQ(ini.ReadString("S", "K", ""), "4") << "a failed reload keeps the contents";
    EXPECT_THROW(TMemIniFile(dir / "folder.ini", TWriteMode::Unsynced), EFOpenError);
    ini.Clear();
    EXPECT_FALSE(ini.SectionExists("S"));

    TMemIniFile failing(path, TWriteMode::Unsynced);
    failing.WriteString("S", "K", "lost");
    {
        ScopedFileFault fault(TFileStep::Rename, EROFS);
        try {
            failing.UpdateFile();
            ADD_FAILURE();
        } catch (const EFCreateError& e) {
            EXPECT_EQ(e.Message(), "Cannot create file \"" + path + "\". Read-only file system");
        }
    }
    EXPECT_EQ(test::ReadAll(path), "[S]\r\nK=1\r\n");
}

TEST(IniFileTest, EveryWriteGoesStraightToTheFile)
{
    test::ScratchFolder dir;
    const std::string path = dir / "cquery.ini";
    TIniFile ini(path, TWriteMode::Unsynced);
    EXPECT_EQ(ini.ReadString("Version Info", "Location", "none"), "none");
    EXPECT_FALSE(FileExists(path));
    ini.WriteString("Version Info", "Location", "/opt/carlume/");
    EXPECT_EQ(test::ReadAll(path), "[Version Info]\r\nLocation=/opt/carlume/\r\n");
    ini.WriteString("Version Info", "Number", "1.0.0.1");
    ini.WriteString("Last", "CommandLine", "/opt/carlume/cquery /VIN=1AVQL14S1A");
    EXPECT_EQ(test::ReadAll(path), "[Version Info]\r\nLocation=/opt/carlume/\r\nNumber=1.0.0.1\r\n"
                                   "[Last]\r\nCommandLine=/opt/carlume/cquery /VIN=1AVQL14S1A\r\n");
    // Another writer's change is seen by the next read and kept by the next write.
    TIniFile other(path, TWriteMode::Unsynced);
    other.WriteBool("Settings", "UseOrigSymbol", true);
    EXPECT_TRUE(ini.ReadBool("Settings", "UseOrigSymbol", false));
    ini.WriteString("Last", "CommandLine", "again");
    EXPECT_EQ(test::ReadAll(path), "[Version Info]\r\nLocation=/opt/carlume/\r\nNumber=1.0.0.1\r\n"
                                   "[Last]\r\nCommandLine=again\r\n[Settings]\r\nUseOrigSymbol=1\r\n");
    ini.DeleteKey("Last", "CommandLine");
    ini.EraseSection("Version Info");
    EXPECT_EQ(test::ReadAll(path), "[Last]\r\n[Settings]\r\nUseOrigSymbol=1\r\n");
    ini.UpdateFile();
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"cquery.ini"}));
}

TEST(IniFileTest, AFailedWriteSaysUnableToWriteAndKeepsTheFile)
{
    test::ScratchFolder dir;
    test::WriteAll(dir / "plain", "x");
    const std::string below = dir / "plain/cquery.ini";
    TIniFile impossible(below, TWriteMode::Unsynced);
    try {
        impossible.WriteString("Version Info", "Location", "/x/");
        ADD_FAILURE();
    } catch (const EIniFileException& e) {
        EXPECT_EQ(e.Message(), "Unable to write to " + below + ". Not a directory");
    }
    EXPECT_EQ(impossible.ReadString("Version Info", "Location", "d"), "d");

    const std::string path = dir / "settings.ini";
    test::WriteAll(path, "[Settings]\r\nPrintoutFontSize=12\r\n");
    TIniFile ini(path, TWriteMode::Unsynced);
    for (const TFileStep step : {TFileStep::Create, TFileStep::Write, TFileStep::Rename}) {
        ScopedFileFault fault(step, ENOSPC);
        try {
            ini.WriteInteger("Settings", "PrintoutFontSize", 9);
            ADD_FAILURE();
        } catch (const EIniFileException& e) {
            EXPECT_EQ(e.Message(), "Unable to write to " + path + ". No space left on device");
        }
    }
    EXPECT_EQ(ini.ReadInteger("Settings", "PrintoutFontSize", 10), 12);
    EXPECT_EQ(dir.Entries().size(), 2u);

    std::filesystem::create_directory(dir / "dir.ini");
    TIniFile unreadable(dir / "dir.ini", TWriteMode::Unsynced);
    EXPECT_EQ(unreadable.ReadInteger("S", "K", 10), 10) << "reads never fail";
    EXPECT_THROW(unreadable.WriteString("S", "K", "v"), EIniFileException);
    EXPECT_TRUE(DirectoryExists(dir / "dir.ini"));
}

// --- files too large to hold
// --------------------------------------------------------------------------------

// One INI class as a caller meets it: the object made on a file with a size limit, [S] M=2 written and the
// file saved.
struct SizeLimitKind {
    std::string Name;
    void (*writeKey)(const std::string& path, std::uint64_t sizeLimit);
    // The message of a refusal for `reason`, reading (the open) or writing (the save).
    std::string (*refusal)(const std::string& path, std::string_view reason, bool reading);
};

template <class F> std::string MessageOf(F&& call)
{
    try {
        call();
    } catch (const Exception& e) {
        return e.Message();
    }
    return "";
}

void PrintTo(const SizeLimitKind& kind, std::ostream* os)
{
    *os << kind.Name;
}

class IniSizeLimitTest : public ::testing::TestWithParam<SizeLimitKind> {
protected:
    test::ScratchFolder dir;
    const std::string path = dir / "s.ini";
};

TEST_P(IniSizeLimitTest, AFileAtTheLimitIsRefusedUnreadAndLeftAsItIs)
{
    test::WriteAll(path, "");
    ASSERT_EQ(::truncate(path.c_str(), off_t(kIniFileSizeLimit)), 0);
    const auto& kind = GetParam();
    // Had it been read, the document would have refused it as too large for memory.
    EXPECT_EQ(MessageOf([&] { kind.writeKey(path, kIniFileSizeLimit); }),
              kind.refusal(path, STooLargeToRead, true));
    EXPECT_EQ(std::filesystem::file_size(path), kIniFileSizeLimit);
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"s.ini"}));
}

TEST_P(IniSizeLimitTest, AWriteThatWouldReachTheLimitIsRefusedAndLeavesTheFile)
{
    // Written back with CR LF after the byte-order mark, the file grows from 11 to 18 bytes.
    const std::string original = "\xEF\xBB\xBF[S]\nK=1\n";
    const std::string written = "\xEF\xBB\xBF[S]\r\nK=1\r\nM=2\r\n";
    struct Row {
        std::uint64_t limit;
        std::string_view refused; // the reason, "" when written
    };
    const auto& kind = GetParam();
    for (const Row row : {Row{original.size(), STooLargeToRead}, Row{written.size(), STooLargeToReadBack},
                          Row{written.size() + 1, ""}}) {
        SCOPED_TRACE(row.limit);
        test::WriteAll(path, original);
        EXPECT_EQ(MessageOf([&] { kind.writeKey(path, row.limit); }),
                  row.refused.empty() ? "" : kind.refusal(path, row.refused, row.refused == STooLargeToRead));
        EXPECT_EQ(test::ReadAll(path), row.refused.empty() ? written : original);
        EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"s.ini"}));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, IniSizeLimitTest,
    ::testing::Values(SizeLimitKind{"Memory",
                                    [](const std::string& path, std::uint64_t sizeLimit) {
                                        TMemIniFile ini(path, TWriteMode::Unsynced, sizeLimit);
                                        ini.WriteString("S", "M", "2");
                                        ini.UpdateFile();
                                    },
                                    [](const std::string& path, std::string_view reason, bool reading) {
                                        return Format(reading ? SFOpenError : SFCreateError, path, reason);
                                    }},
                      SizeLimitKind{"Direct",
                                    [](const std::string& path, std::uint64_t sizeLimit) {
                                        TIniFile ini(path, TWriteMode::Unsynced, sizeLimit);
                                        EXPECT_EQ(ini.ReadString("S", "K", "unread"),
                                                  std::filesystem::file_size(path) < sizeLimit ? "1"
                                                                                               : "unread");
                                        ini.WriteString("S", "M", "2");
                                    },
                                    [](const std::string& path, std::string_view reason, bool) {
                                        return "Unable to write to " + path + ". " + std::string(reason);
                                    }}),
    [](const auto& row) { return row.param.Name; });

} // namespace
} // namespace carlume
