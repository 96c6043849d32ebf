#include "settings/xml_data_storage.h"

#include "foundation/shared_values.h"
#include "tests/settings/storage_fixtures.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace carlume::test {
namespace {

using Lines = std::vector<std::string>;

class XmlStorageTest : public StorageFolder {
protected:
    void SetUp() override { path = Copy("maintenance.xml"); }
    std::string Read(const std::string& section, const std::string& item)
    {
        std::string value = "stale";
        storage.ReadData(section, item, value);
        return value;
    }
    std::string path;
    TtscXMLDataStorageAccess storage{dir / "maintenance.xml"};
};

TEST_F(XmlStorageTest, ReadsItemsAndAttributes)
{
    const struct {
        const char* section;
        const char* item;
        const char* value;
    } cases[] = {
        {"Backup", "Enabled", "1"},
        {"TSCSettings/Backup", "Capacity", "30"},
        {"tscsettings/Backup/", "Empty", ""},
        {"Backup", "Folder", "/srv/backup & <old>"},
        {"Backup", "Missing", ""},
        {"TSCSettings/", "ViewRTRXml", "0"},
        {"Mail", "Port", "25"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Read(c.section, c.item), c.value) << c.section << " " << c.item;
    EXPECT_TRUE(storage.ValueExists("Backup", "Empty"));
    EXPECT_FALSE(storage.ValueExists("Backup", "Missing"));
    EXPECT_TRUE(storage.SectionExists("Tree/Level1"));

    std::string value;
    storage.ReadAttribute("Backup", "Kind", value);
    EXPECT_EQ(value, "Nightly");
    storage.ReadAttribute("TSCSettings", "Kind", value);
    EXPECT_EQ(value, "") << "the root's name alone addresses no element";
    storage.WriteAttribute("Nowhere", "Kind", "x");
    EXPECT_FALSE(storage.SectionExists("Nowhere"));
    storage.WriteAttribute("Mail", "Kind", "Relay");
    storage.ReadAttribute("TSCSettings/Mail/", "Kind", value);
    EXPECT_EQ(value, "Relay");
}

TEST_F(XmlStorageTest, ListingsAppendToTheCallersList)
{
    TStringList list;
    list.Add("kept");
    storage.ReadSection("Backup", list);
    EXPECT_EQ(list.ToVector(), (Lines{"kept", "Enabled", "Capacity", "Empty", "Folder"}));
    list.Clear();
    storage.ReadSectionValues("Mail", list);
    EXPECT_EQ(list.ToVector(), (Lines{"Host=mail.example.org", "Port=\t25\n"}));
    storage.ReadSectionTexts("tscsettings/Tree/Level1", list);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list[2], "a");
    storage.ReadSection("Missing", list);
    EXPECT_EQ(list.Count(), 3);

    TtscValuesList tree;
    storage.ReadSectionTree("Tree", tree);
    ASSERT_EQ(tree.Children.size(), 2u);
    EXPECT_EQ(tree.Name, "Tree");
    EXPECT_EQ(tree.Children[0]->Name, "Level1");
    EXPECT_EQ(tree.Children[0]->Value, "\n\t\t\ta\n\t\t") << "untrimmed, indentation included";
    ASSERT_EQ(tree.Children[0]->Children.size(), 1u);
    EXPECT_EQ(tree.Children[0]->Children[0]->Name, "Leaf");
    EXPECT_EQ(tree.Children[1]->Value, "b");
}

TEST_F(XmlStorageTest, LooksUpIdsAndProcessingInstructions)
{
    std::string name;
    storage.FindNameByIntID("", 7, name);
    EXPECT_EQ(name, "Backup");
    storage.FindNameByID("tscSETTINGS/", "SMTP", name);
    EXPECT_EQ(name, "Mail");
    storage.FindNameByID("Backup", "1", name);
    EXPECT_EQ(name, "");
    EXPECT_EQ(storage.ProcessingInstructions().ToVector(),
              (Lines{"tsc-schema=<version=\"3\">", "tsc-end=<done>"}));
}

TEST_F(XmlStorageTest, WritesKeepTheFileLaidOut)
{
    storage.WriteData("Backup", "Enabled", "0", false);
    storage.WriteData("Backup", "Folder", "plain", false);
    storage.WriteData("Backup", "Capacity", "45", true);
    storage.WriteData("TSCSettings/Mail/Auth", "User", "desk", false);
    storage.DeleteKey("Tree", "Other");
    storage.UpdateFile();
    EXPECT_EQ(ReadAll(path), Fixture("maintenance_written.xml"));
    EXPECT_FALSE(storage.ValueExists("Tree", "Other"));
    EXPECT_EQ(Read("Backup", "Folder"), "plain") << "text over CDATA reads back the new value alone";
}

TEST_F(XmlStorageTest, RefusedCdataValueKeepsTheItem)
{
    EXPECT_THROW(storage.WriteData("Backup", "Enabled", "\x07", true), EXmlCharacterError);
    EXPECT_EQ(Read("Backup", "Enabled"), "1");
    storage.UpdateFile();
    EXPECT_EQ(ReadAll(path), Fixture("maintenance.xml"));
}

TEST_F(XmlStorageTest, ErasingTheRootDoesNothing)
{
    storage.EraseSection("TSCSettings");
    storage.EraseSection("/tscsettings");
    storage.EraseSection("Nowhere");
    storage.UpdateFile();
    EXPECT_EQ(ReadAll(path), Fixture("maintenance.xml"));
}

TEST_F(XmlStorageTest, SavesOnlyWhatWasRead)
{
    storage.UpdateFile();
    EXPECT_EQ(dir.Entries().size(), 1u);
    WriteAll(path, "<TSCSettings><A>");
    EXPECT_THROW(storage.ValueExists("A", "B"), EParserException);
    storage.UpdateFile();
    EXPECT_EQ(ReadAll(path), "<TSCSettings><A>") << "a failed load leaves nothing to save";
    WriteAll(path, "<TSCSettings><A><B>1</B></A></TSCSettings>");
    EXPECT_EQ(Read("A", "B"), "1") << "the next call loads again";
    storage.WriteData("A", "B", "2", false);
    storage.Reload();
    EXPECT_EQ(Read("A", "B"), "1") << "reloading drops unsaved changes";
}

// A settings file of about 200 KB whose values use one declared entity of 64,000 three-byte characters,
// `uses` times: expanded, it would be about 190 MB, far more than any load accepts.
std::string ValuesUsingAnEntity(int uses, const std::string& entity)
{
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE TSCSettings [\n<!ENTITY v \"" +
                       entity + "\">\n<!ENTITY block \"<Inner>1</Inner>\">\n]>\n<TSCSettings>\n\t<Values>";
    for (int i = 0; i < uses; ++i)
        text += "\n\t\t<V" + std::to_string(i) + ">&v;</V" + std::to_string(i) + ">";
    return text + "\n\t</Values>\n\t<Block>&block;</Block>\n</TSCSettings>\n";
}

TEST_F(StorageFolder, ASaveKeepsEntityReferencesAsTheyWere)
{
    const int uses = 990; // with the one use of "block", within the limit of entity uses
    std::string entity;
    for (int i = 0; i < 64000; ++i)
        entity += "\u20ac";
    const std::string path = dir / "values.xml";
    const std::string text = ValuesUsingAnEntity(uses, entity);
    WriteAll(path, text);
    {
        TtscXMLDataStorageAccess storage(path);
        storage.WriteData("Values", "V0", "plain", false);
        storage.WriteData("Block", "Inner", "2", false);
        storage.WriteData("Values", "Added", "3", false);
        storage.UpdateFile();
    }
    EXPECT_LT(ReadAll(path).size(), text.size() + 100);
    TtscXMLDataStorageAccess reread(path);
    std::string value;
    reread.ReadData("Values", "V" + std::to_string(uses - 1), value);
    EXPECT_EQ(value, entity);
    const std::pair<const char*, const char*> written[] = {{"V0", "plain"}, {"Added", "3"}};
    for (const auto& [item, expected] : written) {
        reread.ReadData("Values", item, value);
        EXPECT_EQ(value, expected) << item;
    }
    reread.ReadData("Block", "Inner", value);
    EXPECT_EQ(value, "2")
        << "an entity that stands for elements is expanded, and its elements can be changed";
}

} // namespace
} // namespace carlume::test
