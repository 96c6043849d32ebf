#include "settings/xml_document.h"

#include "platform/files.h"
#include "tests/settings/storage_fixtures.h"

#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <string>

namespace carlume::test {
namespace {

const std::string kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";

class XmlDocumentTest : public StorageFolder {
protected:
    // A document loaded from `body` (after the declaration line).
    void LoadText(const std::string& body)
    {
        WriteAll(dir / "doc.xml", kDeclaration + body + "\n");
        doc.Load(dir / "doc.xml");
    }
    // The body the document saves (without the declaration line and the last line end).
    std::string SavedBody()
    {
        doc.Save();
        const std::string bytes = ReadAll(doc.FileName());
        EXPECT_EQ(bytes.substr(0, kDeclaration.size()), kDeclaration);
        return bytes.substr(kDeclaration.size(), bytes.size() - kDeclaration.size() - 1);
    }
    TtscXMLDocument doc;
};

// --- error texts ------------------------------------------------------------------------------------------

struct ErrorCase {
    const char* Name;
    std::function<void(TtscXMLDocument&, const std::string& folder)> Action;
    int Code;
    std::string Message;
};

class XmlErrorTexts : public XmlDocumentTest, public ::testing::WithParamInterface<ErrorCase> {};

TEST_P(XmlErrorTexts, NameTheCase)
{
    LoadText("<R><T>x</T></R>");
    const std::string folder = dir.Path();
    try {
        GetParam().Action(doc, folder);
        FAIL() << "nothing raised";
    } catch (const EtscXMLDocException& e) {
        EXPECT_EQ(e.Code(), GetParam().Code);
        std::string expected = GetParam().Message;
        if (const auto at = expected.find("<folder>"); at != expected.npos)
            expected.replace(at, 8, folder);
        EXPECT_EQ(e.Message(), expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Codes, XmlErrorTexts,
    ::testing::Values(
        ErrorCase{"LoadWithoutName", [](auto&, auto&) { TtscXMLDocument().Load(); }, -900,
                  "File name not specified on TtscXMLDocument.Load"},
        ErrorCase{"SaveWithoutName", [](auto&, auto&) { TtscXMLDocument().Save(); }, -901,
                  "File name not specified on TtscXMLDocument.Save"},
        ErrorCase{"MissingFile", [](auto& d, auto& f) { d.Load(f + "/none.xml"); }, -902,
                  "The specified file (<folder>/none.xml) does not exist or could not be found"},
        ErrorCase{"SaveNeverLoaded",
                  [](auto&, auto& f) {
                      TtscXMLDocument fresh;
                      fresh.Save(f + "/doc.xml");
                  },
                  -903, "No source node specified on TtscXMLDocument.Save"},
        ErrorCase{"SaveWithoutRoot",
                  [](auto& d, auto&) {
                      d.GetDOMDocument().RemoveChild(d.GetDocumentElement());
                      d.Save();
                  },
                  -903, "No source node specified on TtscXMLDocument.Save"},
        ErrorCase{"AppendToNoNode", [](auto& d, auto&) { TtscXMLNode().AppendChild(d.CreatePath("N")); },
                  -903, "No source node specified on TtscXMLNode.AppendChild"},
        ErrorCase{"RemoveFromNoNode", [](auto& d, auto&) { TtscXMLNode().RemoveChild(d.FindNode("T")); },
                  -903, "No source node specified on TtscXMLNode.RemoveChild"},
        ErrorCase{"ResolveNoNode", [](auto&, auto&) { TtscXMLNode().ResolveEntityReferences(); }, -903,
                  "No source node specified on TtscXMLNode.ResolveEntityReferences"},
        ErrorCase{"AttributeOnText",
                  [](auto& d, auto&) { d.FindNode("T").GetChild(0).SetAttributeValue("a", "1"); }, -905,
                  "Invalid Node Type for action (NodeType 3 on SetAttributeValue)"},
        ErrorCase{"AttributeOnNoNode", [](auto&, auto&) { TtscXMLNode().SetAttributeValue("a", "1"); }, -905,
                  "Invalid Node Type for action (NodeType 0 on SetAttributeValue)"},
        ErrorCase{"EmptyPath", [](auto& d, auto&) { d.CreatePath(""); }, -906,
                  "The specified node path was invalid (Empty path string on CreatePath)"},
        ErrorCase{"OtherCode", [](auto&, auto&) { RaiseXMLDocError(-42, "x"); }, -42,
                  "An exception (-42) occurred in tscXMLDoc"}),
    RowName());

// --- files the parser refuses -----------------------------------------------------------------------------

struct BadFile {
    const char* Name;
    std::function<void(const std::string& path)> Write;
};

void CopyOf(const char* fixture, const std::string& path)
{
    WriteAll(path, Fixture(fixture));
}

class XmlBadFiles : public XmlDocumentTest, public ::testing::WithParamInterface<BadFile> {};

TEST_P(XmlBadFiles, GiveTheParserErrorAndKeepTheEarlierTree)
{
    doc.Load(Copy("maintenance.xml"));
    const std::string bad = dir / "bad.xml";
    GetParam().Write(bad);
    const std::string message = MessageOf<EParserException>([&] { doc.Load(bad); });
    EXPECT_EQ(message, "Parser error. Error reading file " + bad);
    EXPECT_EQ(doc.ReadText("Backup/Enabled"), "1");
}

INSTANTIATE_TEST_SUITE_P(
    Refused, XmlBadFiles,
    ::testing::Values(BadFile{"Malformed", [](auto& p) { CopyOf("malformed.xml", p); }},
                      BadFile{"Truncated", [](auto& p) { CopyOf("truncated.xml", p); }},
                      BadFile{"Empty", [](auto& p) { CopyOf("empty.xml", p); }},
                      BadFile{"InvalidUtf8", [](auto& p) { CopyOf("bad_utf8.xml", p); }},
                      BadFile{"EntityExpansion", [](auto& p) { CopyOf("entity_expansion.xml", p); }},
                      BadFile{"ExternalEntity", [](auto& p) { CopyOf("external_entity.xml", p); }},
                      BadFile{"UndeclaredEntity", [](auto& p) { WriteAll(p, "<R>&nope;</R>"); }},
                      BadFile{"ControlCharacter", [](auto& p) { WriteAll(p, "<R>\x01</R>"); }},
                      BadFile{"Xml11", [](auto& p) { WriteAll(p, "<?xml version=\"1.1\"?><R>&#x1;</R>"); }},
                      BadFile{"LongEntity",
                              [](auto& p) {
                                  WriteAll(p, "<!DOCTYPE R [<!ENTITY e \"" + std::string(70000, 'e') +
                                                  "\">]><R>&e;</R>");
                              }},
                      BadFile{"DeepNesting",
                              [](auto& p) {
                                  std::string text;
                                  for (int i = 0; i <= TtscXMLDocument::kMaxDepth; ++i)
                                      text += "<a>";
                                  WriteAll(p, text);
                              }},
                      BadFile{"Huge",
                              [](auto& p) {
                                  WriteAll(p, "<R>");
                                  std::filesystem::resize_file(p, TtscXMLDocument::kMaxFileSize + 1);
                              }}),
    RowName());

TEST_F(XmlDocumentTest, ASaveBiggerThanALoadAcceptsIsRefusedAndTheFileKept)
{
    // An entity standing for elements is expanded once resolved: here to 128 MB, more than a load accepts.
    std::string element = "<a>";
    for (int i = 0; i < 64000; ++i)
        element += "\u00e9";
    std::string text = "<!DOCTYPE R [<!ENTITY e \"" + element + "</a>\">]>\n<R>";
    for (int i = 0; i < 1000; ++i)
        text += "&e;";
    LoadText(text + "</R>");
    const std::string before = ReadAll(doc.FileName());
    doc.GetDocumentElement().ResolveEntityReferences();
    EXPECT_THAT(MessageOf<EWriteError>([&] { doc.Save(); }),
                ::testing::MatchesRegex("The settings file " + doc.FileName() +
                                        " was not saved: it would be [0-9]+ bytes, more than the " +
                                        std::to_string(TtscXMLDocument::kMaxFileSize) +
                                        " this program reads. The file is left as it was."));
    EXPECT_EQ(ReadAll(doc.FileName()), before);
    EXPECT_EQ(dir.Entries().size(), 1u);
}

TEST_F(XmlDocumentTest, NestingUpToTheLimitLoads)
{
    std::string text;
    for (int i = 0; i < TtscXMLDocument::kMaxDepth; ++i)
        text += "<a>";
    for (int i = 0; i < TtscXMLDocument::kMaxDepth; ++i)
        text += "</a>";
    LoadText(text);
    std::string path;
    for (int i = 0; i < TtscXMLDocument::kMaxDepth; ++i)
        path += "b/";
    EXPECT_THROW(doc.CreatePath(path), EtscXMLDocException);
}

TEST_F(XmlDocumentTest, ExternalDtdIsNotFetched)
{
    doc.Load(Copy("external_dtd.xml"));
    EXPECT_EQ(doc.ReadText("A"), "1");
}

// --- paths ------------------------------------------------------------------------------------------------

TEST_F(XmlDocumentTest, RootRelativePaths)
{
    doc.Load(Copy("maintenance.xml"));
    const struct {
        const char* path;
        const char* found; // element name, or "" for none
    } cases[] = {
        {"Backup", "Backup"},
        {"tscsettings/Backup", "Backup"},
        {"/TSCSettings/Backup/Enabled", "Enabled"},
        {"TSCSettings", "TSCSettings"},
        {"/tscsettings", "TSCSettings"},
        {"TSCSettings/", ""},
        {"backup", ""},
        {"Tree///Other", ""},
        {"Tree//Other", "Other"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(doc.FindNode(c.path).GetNodeName(), c.found) << "path \"" << c.path << "\"";
    EXPECT_FALSE(doc.PathExists("TSCSettings"));
    EXPECT_TRUE(doc.PathExists("tscsettings/Tree/Level1/Leaf"));
    EXPECT_EQ(doc.ReadText("Mail/Port"), "25") << "text \"\\t25\\n\" is read trimmed";
    EXPECT_EQ(doc.ReadText("Backup/Folder"), "/srv/backup & <old>");
    EXPECT_EQ(doc.GetDocumentElement().FindChildNameByAttribute("", "id", "smtp"), "Mail");
}

TEST_F(XmlDocumentTest, AttributeLookUpTakesTheFirstMatchInAnyCase)
{
    LoadText("<R><S><a id=\"X\"/><b id=\"x\"/></S></R>");
    EXPECT_EQ(doc.GetDocumentElement().FindChildNameByAttribute("S", "id", "x"), "a");
    EXPECT_EQ(doc.GetDocumentElement().FindChildNameByAttribute("S", "id", "y"), "");
}

// --- the layout the wrapper keeps -------------------------------------------------------------------------

struct LayoutCase {
    const char* Name;
    const char* Before;
    std::function<void(TtscXMLDocument&)> Edit;
    const char* After;
};

class XmlLayout : public XmlDocumentTest, public ::testing::WithParamInterface<LayoutCase> {};

TEST_P(XmlLayout, SavesTheTreeAsEdited)
{
    LoadText(GetParam().Before);
    GetParam().Edit(doc);
    EXPECT_EQ(SavedBody(), GetParam().After);
}

INSTANTIATE_TEST_SUITE_P(
    Edits, XmlLayout,
    ::testing::Values(
        LayoutCase{"CreatePathTwiceMakesTwoLastSegments", "<R></R>",
                   [](auto& d) {
                       d.CreatePath("A/B");
                       d.CreatePath("A/B");
                   },
                   "<R>\n\t<A>\n\t\t<B/>\n\t\t<B/>\n\t</A>\n</R>"},
        LayoutCase{"AppendThenRemoveLeavesTheClosingLine", "<R></R>",
                   [](auto& d) { d.GetDocumentElement().RemoveChild(d.CreatePath("A")); }, "<R>\n</R>"},
        LayoutCase{"TextAndCdataAddNoWhitespace", "<R></R>",
                   [](auto& d) {
                       auto a = d.CreatePath("A");
                       a.AppendCDATA("x");
                       a.AppendChild(d.GetDOMDocument().CreateTextNode("y"));
                   },
                   "<R>\n\t<A><![CDATA[x]]>y</A>\n</R>"},
        LayoutCase{"ChildGoesBeforeTheLastText", "<R>x</R>", [](auto& d) { d.CreatePath("A"); },
                   "<R>\n\t<A/>x</R>"},
        LayoutCase{"RemovingKeepsMixedContent", "<R>value<B/></R>",
                   [](auto& d) { d.GetDocumentElement().RemoveChild(d.FindNode("B")); }, "<R>value</R>"},
        LayoutCase{"TextOverCdataLeafReplacesIt", "<R><A><![CDATA[old]]> <![CDATA[older]]></A></R>",
                   [](auto& d) { d.WriteText("A", "new"); }, "<R><A>new</A></R>"},
        LayoutCase{"TextOfAParentGoesInItsFirstText", "<R><A>\n\t<B/></A></R>",
                   [](auto& d) { d.WriteText("A", "v"); }, "<R><A>v<B/></A></R>"},
        LayoutCase{"CdataHoldingTheEndMarkerIsSplit", "<R><A/></R>",
                   [](auto& d) { d.FindNode("A").AppendCDATA("a]]>b"); },
                   "<R><A><![CDATA[a]]]]><![CDATA[>b]]></A></R>"}),
    RowName());

TEST_F(XmlDocumentTest, NewSettingsFileGetsTabIndentedSections)
{
    doc.Load(Copy("new_settings.xml"));
    doc.WriteText("TSCSettings/Backup/Enabled", "1");
    doc.WriteText("Backup/Capacity", "30");
    doc.Save();
    EXPECT_EQ(ReadAll(doc.FileName()), Fixture("new_settings_written.xml"));
}

TEST_F(XmlDocumentTest, ValuesSurviveASaveAndALoad)
{
    LoadText("<R/>");
    const std::string value = "a]]>b]]>]]>c & <d> \"e\"";
    doc.CreatePath("C").AppendCDATA(value);
    doc.WriteText("T", value);
    doc.GetDocumentElement().SetAttributeValue("at", value + "\tx\n");
    doc.Save();
    doc.Load();
    EXPECT_EQ(doc.ReadText("C"), value);
    EXPECT_EQ(doc.ReadText("T"), value);
    EXPECT_EQ(doc.GetDocumentElement().GetAttributeValue("at"), value + "\tx\n");
}

// --- what XML cannot hold ---------------------------------------------------------------------------------

struct RefusedCase {
    const char* Name;
    std::function<void(TtscXMLDocument&)> Edit;
};

class XmlRefusedText : public XmlDocumentTest, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(XmlRefusedText, RaisesAndLeavesTheTree)
{
    LoadText("<R><A>old</A><B><![CDATA[cdata]]></B></R>");
    const std::string before = SavedBody();
    EXPECT_THROW(GetParam().Edit(doc), EXmlCharacterError);
    EXPECT_EQ(SavedBody(), before);
}

INSTANTIATE_TEST_SUITE_P(
    Values, XmlRefusedText,
    ::testing::Values(
        RefusedCase{"ControlCharacter", [](auto& d) { d.WriteText("A", "x\x01y"); }},
        RefusedCase{"ControlCharacterInNewPath", [](auto& d) { d.WriteText("N/M", "\x1f"); }},
        RefusedCase{"InvalidUtf8", [](auto& d) { d.FindNode("B").AppendCDATA("caf\xc3("); }},
        RefusedCase{"NonCharacter", [](auto& d) { d.WriteText("A", "\xef\xbf\xbe"); }},
        RefusedCase{"InvalidNameLast", [](auto& d) { d.CreatePath("N/1st"); }},
        RefusedCase{"InvalidNameMiddle", [](auto& d) { d.CreatePath("N/a b/M"); }},
        RefusedCase{"InvalidAttributeName", [](auto& d) { d.FindNode("A").SetAttributeValue("a b", "v"); }},
        RefusedCase{"AttributeValue", [](auto& d) { d.FindNode("A").SetAttributeValue("a", "\x02"); }}),
    RowName());

// --- saving -----------------------------------------------------------------------------------------------

TEST_F(XmlDocumentTest, HandWrittenFileRoundTripsByteForByte)
{
    doc.Load(Copy("maintenance.xml"));
    doc.Save();
    EXPECT_EQ(ReadAll(doc.FileName()), Fixture("maintenance.xml"));
}

TEST_F(XmlDocumentTest, PeerFileWithBomCrlfAndCdataReads)
{
    doc.Load(Copy("peer_crlf_bom.xml"));
    EXPECT_EQ(doc.ReadText("Email/Server"), "smtp.example.org");
    EXPECT_EQ(doc.ReadText("Email/Signature"), "Regards,\nThe desk");
    EXPECT_EQ(doc.ReadText("Email/Note"), "caf\xc3\xa9 & more");
    doc.WriteText("Email/Server", "mx.example.org");
    doc.Save();
    doc.Load();
    EXPECT_EQ(doc.ReadText("Email/Server"), "mx.example.org");
}

TEST_F(XmlDocumentTest, SaveThatCannotCreateTriesThreeTimes)
{
    LoadText("<R/>");
    int waits = 0;
    doc.Sleep = [&](int ms) {
        EXPECT_EQ(ms, 1000);
        ++waits;
    };
    const std::string target = dir / "missing/doc.xml";
    const std::string message = MessageOf<EFCreateError>([&] { doc.Save(target); });
    EXPECT_NE(message.find(target), std::string::npos) << message;
    EXPECT_EQ(waits, 2);
}

TEST_F(XmlDocumentTest, FailedWriteLeavesTheOldFile)
{
    doc.Load(Copy("maintenance.xml"));
    doc.WriteText("Backup/Enabled", "0");
    int waits = 0;
    doc.Sleep = [&](int) { ++waits; };
    {
        ScopedFileFault fault(TFileStep::Write, ENOSPC);
        EXPECT_THROW(doc.Save(), EWriteError);
    }
    {
        ScopedFileFault fault(TFileStep::Create, EACCES);
        EXPECT_THROW(doc.Save(), EFCreateError);
    }
    EXPECT_EQ(waits, 2) << "only a file that cannot be created is tried again";
    EXPECT_EQ(ReadAll(doc.FileName()), Fixture("maintenance.xml"));
    EXPECT_EQ(dir.Entries().size(), 1u) << "no temporary file is left";
}

} // namespace
} // namespace carlume::test
