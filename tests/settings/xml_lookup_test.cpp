// Look-ups by path stay what a plain walk of the tree finds, through every kind of change.

#include "settings/xml_data_storage.h"

#include "platform/sysutils.h"
#include "tests/settings/storage_fixtures.h"

#include <gtest/gtest.h>

#include <xercesc/dom/DOM.hpp>

#include <cctype>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace carlume::test {
namespace {

using Step = std::function<void(TtscXMLDataStorageAccess&, TtscXMLDocument&)>;

struct LookupCase {
    const char* Name;
    std::string File; // "" for the maintenance fixture
    std::vector<Step> Steps;
};

// The element at a path, found the slow way: the root's name may stand first in any case, then each
// segment is the first child element of exactly that name.
TtscXMLNode Walk(TtscXMLDocument& doc, const std::string& path)
{
    TtscXMLNode node = doc.GetDocumentElement();
    std::vector<std::string> segments;
    std::string rest = path.starts_with('/') ? path.substr(1) : path;
    for (std::size_t slash; (slash = rest.find('/')) != rest.npos; rest.erase(0, slash + 1))
        segments.push_back(rest.substr(0, slash));
    segments.push_back(rest);
    if (SameText(segments.front(), node.GetNodeName()))
        segments.erase(segments.begin());
    for (const std::string& segment : segments) {
        TtscXMLNode child = node.FirstChildElement();
        while (child.HasNode() && (child.GetNodeType() != ELEMENT_NODE || child.GetNodeName() != segment))
            child = child.NextSibling();
        if (!child.HasNode())
            return {};
        node = child;
    }
    return node;
}

// The paths of every element below the root.
void Collect(const TtscXMLNode& element, const std::string& path, std::set<std::string>& paths)
{
    for (TtscXMLNode child = element.FirstChildElement(); child.HasNode(); child = child.NextSibling())
        if (child.GetNodeType() == ELEMENT_NODE) {
            const std::string childPath =
                path.empty() ? child.GetNodeName() : path + "/" + child.GetNodeName();
            paths.insert(childPath);
            Collect(child, childPath, paths);
        }
}

class XmlLookup : public StorageFolder, public ::testing::WithParamInterface<LookupCase> {
protected:
    // Every path seen so far, spelt in the ways the look-up allows, against the walk.
    void Compare(const std::string& when)
    {
        TtscXMLDocument& doc = storage.Document();
        const std::string root = doc.GetDocumentElement().GetNodeName();
        Collect(doc.GetDocumentElement(), "", paths);
        for (const std::string& path : paths) {
            std::string otherCase = path;
            const auto last = otherCase.rfind('/') + 1;
            otherCase[last] = char(std::isupper(otherCase[last]) ? std::tolower(otherCase[last])
                                                                 : std::toupper(otherCase[last]));
            for (const std::string& spelling :
                 {path, "/" + path, root + "/" + path, LowerCase(root) + "/" + path, otherCase}) {
                const TtscXMLNode expected = Walk(doc, spelling);
                EXPECT_EQ(doc.FindNode(spelling).DOMNode(), expected.DOMNode()) << when << ": " << spelling;
                const auto slash = spelling.rfind('/');
                if (slash == spelling.npos || slash == 0)
                    continue;
                const std::string section = spelling.substr(0, slash);
                const std::string item = spelling.substr(slash + 1);
                EXPECT_EQ(storage.ValueExists(section, item), expected.HasNode()) << when << ": " << spelling;
                std::string value;
                storage.ReadData(section, item, value);
                EXPECT_EQ(value, Trim(expected.GetText())) << when << ": " << spelling;
            }
        }
    }

    std::string path = dir / "settings.xml";
    TtscXMLDataStorageAccess storage{path};
    std::set<std::string> paths;
};

TEST_P(XmlLookup, FindsWhatAWalkFinds)
{
    const LookupCase& row = GetParam();
    WriteAll(path, row.File.empty() ? Fixture("maintenance.xml") : row.File);
    storage.Reload();
    Compare("as loaded");
    for (std::size_t i = 0; i < row.Steps.size(); ++i) {
        row.Steps[i](storage, storage.Document());
        Compare("after step " + std::to_string(i + 1));
    }
}

std::string Settings(const std::string& body)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<TSCSettings>" + body + "</TSCSettings>\n";
}

// Changes made with the library's own calls, around the wrappers.
void MoveWithTheLibrary(TtscXMLDocument& doc, const std::string& from, const std::string& to)
{
    xercesc::DOMNode* node = doc.FindNode(from).DOMNode();
    node->getParentNode()->removeChild(node);
    doc.FindNode(to).DOMNode()->appendChild(node);
}

INSTANTIATE_TEST_SUITE_P(
    Changes, XmlLookup,
    ::testing::Values(
        LookupCase{"AddItemsAndSections",
                   "",
                   {[](auto& s, auto&) { s.WriteData("Backup", "Added", "1", false); },
                    [](auto& s, auto&) { s.WriteData("TSCSettings/New/Deeper", "Item", "2", false); },
                    [](auto& s, auto&) { s.WriteData("Backup", "Enabled", "moved to the end", true); },
                    [](auto& s, auto&) { s.WriteData("tscsettings/Tree/Level1", "Leaf", "c", true); }}},
        LookupCase{"EraseAndDelete",
                   "",
                   {[](auto& s, auto&) { s.EraseSection("Tree/Level1"); },
                    [](auto& s, auto&) { s.DeleteKey("Mail", "Host"); },
                    [](auto& s, auto&) { s.EraseSection("TSCSettings/Backup"); },
                    [](auto& s, auto&) { s.WriteData("Backup", "Enabled", "back", false); }}},
        LookupCase{
            "SameNameSiblings",
            Settings("<A><B>1</B><C/><B>2</B><B>3</B></A>"),
            {[](auto& s, auto&) { s.DeleteKey("A", "B"); }, [](auto&, auto& d) { d.CreatePath("A/B"); },
             [](auto& s, auto&) { s.WriteData("A", "B", "cdata", true); },
             [](auto& s, auto&) { s.DeleteKey("A", "B"); }, [](auto& s, auto&) { s.DeleteKey("A", "B"); },
             [](auto& s, auto&) { s.DeleteKey("A", "B"); }}},
        LookupCase{
            "CaseVariants",
            Settings("<a><b>lower</b></a><A><b>x</b><B>upper</B></A><tscsettings><b>y</b></tscsettings>"),
            {[](auto& s, auto&) { s.WriteData("A", "b", "2", false); },
             [](auto& s, auto&) { s.DeleteKey("a", "b"); },
             [](auto& s, auto&) { s.WriteData("TSCSETTINGS/tscsettings", "B", "3", false); },
             [](auto& s, auto&) { s.EraseSection("A/B"); }}},
        LookupCase{
            "AddedAheadOfAnElementOfItsName",
            Settings("<A>text<B>old</B></A>"),
            {[](auto&, auto& d) { d.CreatePath("A/B"); }, [](auto& s, auto&) { s.DeleteKey("A", "B"); }}},
        LookupCase{"MovedBetweenParents",
                   "",
                   {[](auto&, auto& d) { d.FindNode("Mail").AppendChild(d.FindNode("Backup/Enabled")); },
                    [](auto&, auto& d) { d.FindNode("Tree").AppendChild(d.FindNode("Tree/Level1")); },
                    [](auto&, auto& d) { d.GetDocumentElement().AppendChild(d.FindNode("Mail/Enabled")); }}},
        LookupCase{"RemovedThenAddedBack", "", {[](auto&, auto& d) {
                       const TtscXMLNode tree = d.FindNode("Tree");
                       d.GetDocumentElement().RemoveChild(tree);
                       TtscXMLNode(tree).CreatePath("Level1/Added");
                       d.FindNode("Backup").AppendChild(tree);
                   }}},
        LookupCase{"Reload",
                   "",
                   {[](auto& s, auto&) { s.WriteData("Backup", "Added", "1", false); },
                    [](auto& s, auto&) { s.EraseSection("Mail"); }, [](auto& s, auto&) { s.Reload(); }}},
        LookupCase{"LoadAnotherFile", "", {[](auto&, auto& d) {
                       WriteAll(d.FileName() + ".other",
                                Settings("<Backup><Enabled>other</Enabled></Backup>"));
                       d.Load(d.FileName() + ".other");
                   }}},
        LookupCase{
            "ReferencesExpandedLater",
            "<!DOCTYPE TSCSettings [<!ENTITY part \"<B>1</B>\">]><TSCSettings><A>&part;</A></TSCSettings>",
            {[](auto&, auto& d) { d.Load(); },
             [](auto&, auto& d) { d.GetDocumentElement().ResolveEntityReferences(); }}},
        LookupCase{"ChangedWithTheLibrary",
                   "",
                   {[](auto&, auto& d) { MoveWithTheLibrary(d, "Backup/Capacity", "Mail"); },
                    [](auto&, auto& d) { MoveWithTheLibrary(d, "Mail", "Tree/Level1"); }}}),
    ByName);

} // namespace
} // namespace carlume::test
