#include "settings/xml_data_storage.h"

#include "foundation/shared_values.h"
#include "platform/sysutils.h"
#include "settings/xml_utils.h"

#include <xercesc/util/OutOfMemoryException.hpp>

#include <new>

namespace carlume {
namespace {

std::string Key(const std::string& section, const std::string& item)
{
    return IncludeTrailingSlash(section) + item;
}

void AddTree(const TtscXMLNode& element, TtscValuesList& list)
{
    for (TtscXMLNode child = element.FirstChildElement(); child.HasNode(); child = child.NextSibling())
        if (child.GetNodeType() == ELEMENT_NODE)
            AddTree(child, list.Add(child.GetNodeName(), child.GetText()));
}

// Runs an operation on the document. The library's running out of memory becomes the standard error, which
// the storage front reports naming the file.
template <class F> auto InMemory(F&& operation) -> decltype(operation())
{
    try {
        return operation();
    } catch (const xercesc::OutOfMemoryException&) {
        throw std::bad_alloc();
    }
}

} // namespace

TtscXMLDataStorageAccess::TtscXMLDataStorageAccess(const std::string& fileName)
{
    document_.SetFileName(fileName);
}

void TtscXMLDataStorageAccess::Load()
{
    InMemory([&] {
        if (loaded_)
            return;
        document_.Load();
        document_.GetDocumentElement().ResolveEntityReferences();
        loaded_ = true;
        processingInstructions_.Clear();
        document_.GetDOMDocument().WalkNodes({PROCESSING_INSTRUCTION_NODE}, [this](const TtscXMLNode& node) {
            processingInstructions_.Add(node.GetPITarget() + "=<" + node.GetPIData() + ">");
            return true;
        });
    });
}

void TtscXMLDataStorageAccess::UpdateFile()
{
    InMemory([&] {
        if (loaded_)
            document_.Save();
    });
}

void TtscXMLDataStorageAccess::Reload()
{
    loaded_ = false;
    Load();
}

bool TtscXMLDataStorageAccess::SectionExists(const std::string& section)
{
    return InMemory([&] {
        Load();
        return document_.PathExists(section);
    });
}

bool TtscXMLDataStorageAccess::ValueExists(const std::string& section, const std::string& item)
{
    return InMemory([&] {
        Load();
        return document_.FindNode(Key(section, item)).GetNodeType() == ELEMENT_NODE;
    });
}

void TtscXMLDataStorageAccess::DeleteKey(const std::string& section, const std::string& item)
{
    EraseSection(IncludeTrailingSlash(section) + IncludeTrailingSlash(item));
}

void TtscXMLDataStorageAccess::ReadData(const std::string& section, const std::string& item,
                                        std::string& value)
{
    InMemory([&] {
        Load();
        value = document_.ReadText(Key(section, item));
    });
}

void TtscXMLDataStorageAccess::WriteData(const std::string& section, const std::string& item,
                                         const std::string& value, bool asCDATA)
{
    InMemory([&] {
        Load();
        const std::string key = IncludeTrailingSlash(section) + IncludeTrailingSlash(item);
        if (!asCDATA) {
            document_.WriteText(key, value);
            return;
        }
        // The value is checked before the old item goes, so a refused value changes nothing.
        CheckXmlValue(value, "TtscXMLDataStorageAccess.WriteData");
        EraseSection(key);
        document_.CreatePath(key).AppendCDATA(value);
    });
}

void TtscXMLDataStorageAccess::ReadAttribute(const std::string& section, const std::string& name,
                                             std::string& value)
{
    InMemory([&] {
        Load();
        value = document_.FindNode(IncludeTrailingSlash(section)).GetAttributeValue(name);
    });
}

void TtscXMLDataStorageAccess::WriteAttribute(const std::string& section, const std::string& name,
                                              const std::string& value)
{
    InMemory([&] {
        Load();
        TtscXMLNode element = document_.FindNode(IncludeTrailingSlash(section));
        if (element.HasNode())
            element.SetAttributeValue(name, value);
    });
}

void TtscXMLDataStorageAccess::List(const std::string& section, TStringList& strings, Listing what)
{
    InMemory([&] {
        Load();
        const TtscXMLNode element = document_.FindNode(section);
        for (TtscXMLNode child = element.FirstChildElement(); child.HasNode(); child = child.NextSibling()) {
            if (child.GetNodeType() != ELEMENT_NODE)
                continue;
            switch (what) {
            case Listing::Names:
                strings.Add(child.GetNodeName());
                break;
            case Listing::Values:
                strings.Add(child.GetNodeName() + "=" + child.GetText());
                break;
            case Listing::Texts:
                strings.Add(child.GetText());
                break;
            }
        }
    });
}

void TtscXMLDataStorageAccess::ReadSection(const std::string& section, TStringList& strings)
{
    List(section, strings, Listing::Names);
}

void TtscXMLDataStorageAccess::ReadSectionValues(const std::string& section, TStringList& strings)
{
    List(section, strings, Listing::Values);
}

void TtscXMLDataStorageAccess::ReadSectionTexts(const std::string& section, TStringList& strings)
{
    List(section, strings, Listing::Texts);
}

void TtscXMLDataStorageAccess::ReadSectionTree(const std::string& section, TtscValuesList& list)
{
    InMemory([&] {
        Load();
        const TtscXMLNode element = document_.FindNode(section);
        if (!element.HasNode())
            return;
        list.Name = element.GetNodeName();
        AddTree(element, list);
    });
}

void TtscXMLDataStorageAccess::EraseSection(const std::string& section)
{
    InMemory([&] {
        Load();
        const TtscXMLNode element = document_.FindNode(section);
        // A document without its root could not be saved: the root stays.
        if (!element.HasNode() || element == document_.GetDocumentElement())
            return;
        element.ParentNode().RemoveChild(element);
    });
}

void TtscXMLDataStorageAccess::FindNameByIntID(const std::string& section, std::int32_t id, std::string& name)
{
    FindNameByID(section, IntToStr(id), name);
}

void TtscXMLDataStorageAccess::FindNameByID(const std::string& section, const std::string& id,
                                            std::string& name)
{
    InMemory([&] {
        Load();
        const TtscXMLNode root = document_.GetDocumentElement();
        const std::string subPath =
            SameText(FirstPathSegment(section), root.GetNodeName()) ? RemainingPath(section) : section;
        name = root.FindChildNameByAttribute(subPath, "id", id);
    });
}

const TStringList& TtscXMLDataStorageAccess::ProcessingInstructions()
{
    Load();
    return processingInstructions_;
}

} // namespace carlume
