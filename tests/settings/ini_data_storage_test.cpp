#include "settings/ini_data_storage.h"

#include "foundation/shared_values.h"
#include "tests/settings/storage_fixtures.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace carlume::test {
namespace {

using Lines = std::vector<std::string>;

class IniStorageTest : public StorageFolder {
protected:
    void SetUp() override { path = Copy("version.ver"); }
    std::string Read(const std::string& section, const std::string& item)
    {
        std::string value = "stale";
        storage().ReadData(section, item, value);
        return value;
    }
    TtscINIDataStorageAccess& storage()
    {
        if (!storage_)
            storage_ = std::make_unique<TtscINIDataStorageAccess>(path);
        return *storage_;
    }
    std::string path;
    std::unique_ptr<TtscINIDataStorageAccess> storage_;
};

TEST_F(IniStorageTest, ReadsAVersionFileWrittenByAPeer)
{
    EXPECT_EQ(Read("General", "BuildDate"), "20240131") << "the byte-order mark hides no section";
    EXPECT_EQ(Read("general", "description"), "Rating engine");
    EXPECT_EQ(Read("Modules", "Engine"), "Chassix") << "the first of duplicate keys and sections is read";
    std::string attribute;
    storage().ReadAttribute("Modules", "Engine", attribute);
    EXPECT_EQ(attribute, "Chassix");
    storage().WriteAttribute("Modules", "Engine", "Other");
    EXPECT_EQ(Read("Modules", "Engine"), "Other") << "an attribute is a key";
    storage().WriteData("Modules", "Flag", "1", true);
    EXPECT_EQ(Read("Modules", "Flag"), "1") << "the CDATA flag means nothing in INI";
    EXPECT_TRUE(storage().SectionExists("COMMON"));

    TStringList list;
    list.Add("cleared");
    storage().ReadSection("", list);
    EXPECT_EQ(list.ToVector(), (Lines{"General", "Modules", "Chassix", "Common", "ProcessingInstructions"}));
    storage().ReadSectionValues("Chassix", list);
    EXPECT_EQ(list.ToVector(), (Lines{"ID=m2", "Tag=Common"}));
    EXPECT_EQ(MessageOf<EAbstractError>([&] { storage().ReadSectionTexts("General", list); }),
              "Abstract Error");
}

TEST_F(IniStorageTest, DeletesEveryDuplicate)
{
    storage().DeleteKey("Modules", "engine");
    EXPECT_FALSE(storage().ValueExists("Modules", "Engine"));
    storage().EraseSection("MODULES");
    EXPECT_FALSE(storage().SectionExists("Modules")) << "the later section of that name goes too";
}

TEST_F(IniStorageTest, FindsIdsInTheWholeFileWithCase)
{
    const struct {
        const char* id;
        const char* name;
    } cases[] = {{"M1", "Modules"}, {"m2", "Chassix"}, {"M2", ""}, {"late", ""}};
    for (const auto& c : cases) {
        std::string name = "stale";
        storage().FindNameByID("Unused", c.id, name);
        EXPECT_EQ(name, c.name) << c.id;
    }
}

TEST_F(IniStorageTest, ClearingTheBuildDateRewritesOnlyThatLine)
{
    storage().WriteData("General", "BuildDate", "", false);
    storage().UpdateFile();
    EXPECT_EQ(ReadAll(path), Fixture("version_cleared.ver"));
}

TEST_F(IniStorageTest, UnsavedChangesAreDropped)
{
    const Lines instructions{"xml-stylesheet=<type=\"text/xsl\" href=\"v.xsl\">", "refresh=<daily>"};
    EXPECT_EQ(storage().ProcessingInstructions().ToVector(), instructions);
    storage().WriteData("General", "BuildDate", "", false);
    storage().EraseSection("ProcessingInstructions");
    storage().Reload();
    EXPECT_EQ(Read("General", "BuildDate"), "20240131");
    EXPECT_EQ(storage().ProcessingInstructions().ToVector(), instructions) << "built once";
    storage().WriteData("General", "BuildDate", "", false);
    storage_.reset();
    EXPECT_EQ(ReadAll(path), Fixture("version.ver"));
}

TEST_F(IniStorageTest, SectionTrees)
{
    WriteAll(path, "[General]\nTag=Common\nSelf=General\nNone=zz\n[Common]\nX=1\nBack=General\n");
    TtscValuesList tree;
    storage().ReadSectionTree("General", tree);
    EXPECT_EQ(tree.Name, "General");
    ASSERT_EQ(tree.Children.size(), 3u);
    const TtscValuesList& common = *tree.Children[0];
    EXPECT_EQ(common.Name, "Common");
    EXPECT_EQ(common.Value, "Common");
    ASSERT_EQ(common.Children.size(), 2u);
    EXPECT_EQ(common.Children[0]->Name, "1");
    EXPECT_EQ(common.Children[0]->Value, "1");
    EXPECT_TRUE(common.Children[1]->Children.empty()) << "an ancestor named again is a leaf";
    EXPECT_TRUE(tree.Children[1]->Children.empty()) << "a section naming itself is a leaf";
    EXPECT_EQ(tree.Children[2]->Name, "zz");
}

TEST_F(IniStorageTest, SectionTreeThatWouldExplodeIsRefused)
{
    // Each section names the next one twice: the tree doubles with every level.
    std::string text;
    for (int i = 0; i < 40; ++i)
        text += "[S" + std::to_string(i) + "]\nA=S" + std::to_string(i + 1) + "\nB=S" +
                std::to_string(i + 1) + "\n";
    WriteAll(path, text);
    TtscValuesList tree;
    EXPECT_EQ(MessageOf<EtscDataStorageError>([&] { storage().ReadSectionTree("S0", tree); }),
              "Section tree too large on ReadSectionTree");
}

struct RefusedWrite {
    const char* Name;
    std::function<void(TtscINIDataStorageAccess&)> Write;
    const char* Operation;
};

class IniRefusedWrites : public IniStorageTest, public ::testing::WithParamInterface<RefusedWrite> {};

TEST_P(IniRefusedWrites, NameTheOperationAndChangeNothing)
{
    const std::string message = MessageOf<EtscDataStorageError>([&] { GetParam().Write(storage()); });
    EXPECT_EQ(
        message.rfind(std::string("Data cannot be stored in an INI file on ") + GetParam().Operation, 0), 0u)
        << message;
    EXPECT_NE(message.find(path), std::string::npos) << message;
    EXPECT_EQ(Read("General", "BuildDate"), "20240131");
    EXPECT_FALSE(storage().SectionExists("x"));
    storage().UpdateFile();
    EXPECT_EQ(ReadAll(path), Fixture("version.ver"));
}

INSTANTIATE_TEST_SUITE_P(
    LineBreaksAndNames, IniRefusedWrites,
    ::testing::Values(RefusedWrite{"ValueWithLineFeed",
                                   [](auto& s) { s.WriteData("General", "BuildDate", "1\n[x]\ny=2", false); },
                                   "WriteData"},
                      RefusedWrite{"KeyWithEquals",
                                   [](auto& s) { s.WriteData("General", "a=b", "1", false); }, "WriteData"},
                      RefusedWrite{"KeyStartingLikeASection",
                                   [](auto& s) { s.WriteAttribute("General", "[a", "1"); }, "WriteAttribute"},
                      RefusedWrite{"SectionWithLineFeed",
                                   [](auto& s) { s.WriteData("x\n", "a", "1", false); }, "WriteData"}),
    RowName());

} // namespace
} // namespace carlume::test
