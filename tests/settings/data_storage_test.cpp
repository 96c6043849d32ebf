#include "settings/data_storage.h"

#include "platform/exceptions.h"
#include "platform/sysutils.h"
#include "settings/xml_document.h"
#include "tests/settings/storage_fixtures.h"
#include "tests/support/memory_limit.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>

namespace carlume::test {
namespace {

struct FrontCase {
    const char* Name;
    std::function<void(TtscDataStorage&)> Call;
    std::string Message;
};

class FrontRefusals : public StorageFolder, public ::testing::WithParamInterface<FrontCase> {};

// A file name that does not exist: the argument checks must win, so the file is never looked for.
TEST_P(FrontRefusals, GiveTheMessage)
{
    TtscDataStorage front;
    front.SetFileName(dir / "none.xml");
    std::string expected = GetParam().Message;
    if (const auto at = expected.find("<folder>"); at != expected.npos)
        expected.replace(at, 8, dir.Path());
    EXPECT_EQ(MessageOf<EtscDataStorageError>([&] { GetParam().Call(front); }), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, FrontRefusals,
    ::testing::Values(FrontCase{"ReadValueNoSection", [](auto& f) { f.ReadValue("", "i"); },
                                "Data path location not specified on ReadData"},
                      FrontCase{"ReadValueNoItem", [](auto& f) { f.ReadValue("s", ""); },
                                "Data item not specified on ReadData"},
                      FrontCase{"WriteCdataNoItem", [](auto& f) { f.WriteCDATA("s", "", "v"); },
                                "Data item not specified on WriteData"},
                      FrontCase{"EraseSectionNoSection", [](auto& f) { f.EraseSection(""); },
                                "Data path location not specified on EraseSection"},
                      FrontCase{"ReadAttributeNoName",
                                [](auto& f) {
                                    std::string v;
                                    f.ReadAttribute("s", "", v);
                                },
                                "Data item not specified on ReadAttribute"},
                      FrontCase{"MissingFile", [](auto& f) { f.ReadValue("s", "i"); },
                                "Storage name invalid (<folder>/none.xml).  Cannot load storage data."},
                      FrontCase{"TypeZeroBeforeTheName",
                                [](auto& f) {
                                    f.SetStorageType(0);
                                    f.SetFileName("");
                                    f.UpdateFile();
                                },
                                "Storage type not implemented.  Cannot create storage access object."},
                      FrontCase{"NoName",
                                [](auto& f) {
                                    f.SetFileName("");
                                    f.Reload();
                                },
                                "Storage name undefined.  Cannot create storage access."},
                      FrontCase{"FolderIsNoFile",
                                [](auto& f) {
                                    f.SetFileName(f.FileName().substr(0, f.FileName().rfind('/')));
                                    f.Reload();
                                },
                                "Storage name invalid (<folder>).  Cannot load storage data."}),
    RowName());

// A value of 200,000 characters in a file already read, then read out with room for less than one more
// copy of it: in full it is an error naming the file; in part the INI storage copies only that part.
struct ShortOfMemory {
    const char* Name;
    std::uint8_t type;
    std::string file;
    bool inPart;
    bool read; // else refused as too large for the memory available
};

class FrontShortOfMemory : public StorageFolder, public ::testing::WithParamInterface<ShortOfMemory> {};

TEST_P(FrontShortOfMemory, ReadsWhatFitsAndNamesTheFileOtherwise)
{
    const ShortOfMemory& c = GetParam();
    const std::string value(200000, 'v');
    const std::string path = dir / c.file;
    WriteAll(path, c.type == 1 ? "[S]\r\nV=" + value + "\r\n" : "<R><S><V>" + value + "</V></S></R>");
    TtscDataStorage front;
    front.SetStorageType(c.type);
    front.SetFileName(path);
    ASSERT_TRUE(front.ValueExists("S", "V"));
    const ScopedMemoryLimit limit(value.size() / 2);
    try {
        const std::string got = c.inPart ? front.ReadValuePrefix("S", "V", 10) : front.ReadValue("S", "V");
        EXPECT_TRUE(c.read);
        EXPECT_EQ(got, value.substr(0, 10));
    } catch (const EFOpenError& e) {
        EXPECT_FALSE(c.read);
        EXPECT_EQ(e.Message(), "Cannot open file \"" + path + "\". " + std::string(STooLargeForMemory));
    }
}

INSTANTIATE_TEST_SUITE_P(Values, FrontShortOfMemory,
                         ::testing::Values(ShortOfMemory{"IniInFull", 1, "s.ini", false, false},
                                           ShortOfMemory{"IniInPart", 1, "s.ini", true, true},
                                           ShortOfMemory{"XmlInFull", 2, "s.xml", false, false},
                                           ShortOfMemory{"XmlInPart", 2, "s.xml", true, false}),
                         RowName());

class FrontTest : public StorageFolder {};

TEST_F(FrontTest, MissingFileIsLookedForAgainOnEveryCall)
{
    TtscDataStorage front;
    front.SetFileName(dir / "later.xml");
    EXPECT_THROW(front.ReadValue("A", "B"), EtscDataStorageError);
    WriteAll(dir / "later.xml", "<R><A><B>1</B></A></R>");
    EXPECT_EQ(front.ReadValue("A", "B"), "1");
}

TEST_F(FrontTest, UnsavedChangesLiveOnlyWithTheOpenFile)
{
    const std::string a = Copy("new_settings.xml");
    const std::string original = ReadAll(a);
    const std::string b = dir / "New_Settings.xml";
    WriteAll(b, original);
    {
        TtscDataStorage front;
        EXPECT_EQ(front.StorageType(), 2);
        front.SetFileName(a);
        front.WriteValue("Backup", "Enabled", "1");
        front.SetStorageType(2);
        front.SetFileName(a);
        EXPECT_EQ(front.ReadValue("Backup", "Enabled"), "1") << "same name and type keep the open file";
        front.SetFileName(b);
        front.UpdateFile();
        EXPECT_EQ(ReadAll(a), original) << "another name (in other case) is another file";
        EXPECT_EQ(front.ReadValue("Backup", "Enabled"), "");
        front.WriteValue("Backup", "Enabled", "2");
    }
    EXPECT_EQ(ReadAll(b), original) << "freeing the front saves nothing";

    TtscDataStorage front;
    front.SetFileName(a);
    front.WriteCDATA("TSCSettings/", "Note", "x");
    front.UpdateFile();
    EXPECT_NE(ReadAll(a).find("<Note><![CDATA[x]]></Note>"), std::string::npos);
}

TEST_F(FrontTest, IniFrontClearsAVersionValue)
{
    const std::string path = Copy("version.ver");
    TtscDataStorage front;
    front.SetStorageType(1);
    front.SetFileName(path);
    EXPECT_EQ(front.ReadValue("General", "LongACTID"), "ACT-0042");
    front.WriteValue("General", "BuildDate", "");
    front.UpdateFile();
    EXPECT_EQ(ReadAll(path), Fixture("version_cleared.ver"));
    front.SetStorageType(2);
    EXPECT_THROW(front.ReadValue("General", "LongACTID"), EParserException) << "the same file read as XML";
}

} // namespace
} // namespace carlume::test
