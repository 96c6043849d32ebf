#include "settings/data_storage.h"

#include "settings/xml_document.h"
#include "tests/settings/storage_fixtures.h"

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
