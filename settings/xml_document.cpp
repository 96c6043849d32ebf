#include "settings/xml_document.h"

#include "platform/files.h"
#include "platform/format.h"
#include "platform/sysutils.h"
#include "settings/xerces_support.h"
#include "settings/xml_utils.h"

#include <sys/stat.h>

#include <xercesc/dom/DOM.hpp>
#include <xercesc/dom/impl/DOMDocumentImpl.hpp>
#include <xercesc/framework/MemBufFormatTarget.hpp>
#include <xercesc/framework/MemBufInputSource.hpp>
#include <xercesc/internal/XMLScanner.hpp>
#include <xercesc/parsers/XercesDOMParser.hpp>
#include <xercesc/sax/ErrorHandler.hpp>
#include <xercesc/sax/Locator.hpp>
#include <xercesc/sax/SAXParseException.hpp>
#include <xercesc/util/OutOfMemoryException.hpp>
#include <xercesc/util/SecurityManager.hpp>
#include <xercesc/util/XMLException.hpp>
#include <xercesc/util/XMLString.hpp>
#include <xercesc/util/XMLUni.hpp>
#include <xercesc/validators/DTD/DTDEntityDecl.hpp>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <exception>
#include <functional>
#include <new>
#include <optional>
#include <stdexcept>
#include <thread>
#include <vector>

namespace carlume {

using xml::CheckXmlName;
using xml::CheckXmlText;
using xml::FromXml;
using xml::ToXml;

namespace xml {

// The parser every settings file goes through: no validation, no DTD or entity from outside the file, a
// bounded number of entity expansions, bounded entity texts and nesting, and every error fatal. Entity
// references stay in the tree, so that a save writes them back as they were instead of what they stand
// for, which can be a thousand times bigger.
class TSettingsParser : public xercesc::XercesDOMParser {
public:
    TSettingsParser()
    {
        setValidationScheme(Val_Never);
        setDoNamespaces(false);
        setDoSchema(false);
        setLoadExternalDTD(false);
        setLoadSchema(false);
        setDisableDefaultEntityResolution(true);
        setCreateEntityReferenceNodes(true);
        setCreateCommentNodes(true);
        setIncludeIgnorableWhitespace(true);
        security_.setEntityExpansionLimit(kMaxExpansions);
        setSecurityManager(&security_);
        setErrorHandler(&errors_);
    }

    void startDocument() override
    {
        depthOf_ = nullptr;
        XercesDOMParser::startDocument();
    }

    void startElement(const xercesc::XMLElementDecl& elemDecl, const unsigned int urlId,
                      const XMLCh* const elemPrefix, const xercesc::RefVectorOf<xercesc::XMLAttr>& attrList,
                      const XMLSize_t attrCount, const bool isEmpty, const bool isRoot) override
    {
        // The new element's depth is the number of nodes from its parent up to the document; references
        // do not count, as they are no level of the file once expanded. It is counted once for a run of
        // siblings (the library's steps up the tree are not cheap).
        if (fCurrentParent != depthOf_) {
            depth_ = 0;
            for (auto* node = fCurrentParent; node != nullptr && depth_ <= TtscXMLDocument::kMaxDepth;
                 node = node->getParentNode())
                if (node->getNodeType() != xercesc::DOMNode::ENTITY_REFERENCE_NODE)
                    ++depth_;
            depthOf_ = fCurrentParent;
        }
        if (depth_ > TtscXMLDocument::kMaxDepth)
            Refuse(u"elements are nested too deep");
        XercesDOMParser::startElement(elemDecl, urlId, elemPrefix, attrList, attrCount, isEmpty, isRoot);
    }

    // Expansions are counted by the security manager; with the length of each entity bounded too, what
    // entities can add to a document stays bounded.
    void entityDecl(const xercesc::DTDEntityDecl& entityDecl, const bool isPEDecl,
                    const bool isIgnored) override
    {
        if (entityDecl.getValueLen() > kMaxEntityLength)
            Refuse(u"an entity is too long");
        XercesDOMParser::entityDecl(entityDecl, isPEDecl, isIgnored);
    }

private:
    class ThrowingErrors : public xercesc::ErrorHandler {
    public:
        void warning(const xercesc::SAXParseException&) override {}
        void error(const xercesc::SAXParseException& e) override { throw e; }
        void fatalError(const xercesc::SAXParseException& e) override { throw e; }
        void resetErrors() override {}
    };

    [[noreturn]] void Refuse(const char16_t* why)
    {
        const xercesc::Locator* where = getScanner()->getLocator();
        throw xercesc::SAXParseException(why, u"", u"", where ? where->getLineNumber() : 0,
                                         where ? where->getColumnNumber() : 0);
    }

    static constexpr XMLSize_t kMaxExpansions = 1000;
    static constexpr XMLSize_t kMaxEntityLength = 64 * 1024;

    xercesc::SecurityManager security_;
    ThrowingErrors errors_;
    const xercesc::DOMNode* depthOf_ = nullptr;
    int depth_ = 0;
};

// The first child element of each name, per parent, with the number of children of that name: what a scan
// of the children would find. A parent's children are indexed when they are first looked up. The wrappers
// report every element they insert or remove; any other change of the tree shows in the library's count of
// changes to the document, and the whole index is then dropped.
class TElementIndex {
public:
    explicit TElementIndex(xercesc::DOMDocument* document)
        : document_(document)
        // The count of changes is the library's own, kept for its live node lists.
        , library_(dynamic_cast<xercesc::DOMDocumentImpl*>(document))
        , changes_(library_ ? library_->changes() : 0)
    {
    }
    TElementIndex(const TElementIndex&) = delete;
    TElementIndex& operator=(const TElementIndex&) = delete;

    bool Usable() const { return library_ != nullptr; }

    /// The first child element of `parent` named `name`, or null; nothing when `parent` belongs to another
    /// document.
    std::optional<xercesc::DOMNode*> First(xercesc::DOMNode* parent, std::u16string_view name)
    {
        if (changing_ == 0)
            CatchUp();
        if (name.empty())
            return nullptr; // no element has an empty name; that key marks an indexed parent
        if (const Slot* slot = Find(parent, name))
            return slot->first;
        if (Find(parent, {}))
            return nullptr;
        if (parent != document_ && parent->getOwnerDocument() != document_)
            return std::nullopt; // changes there are not counted here
        Build(parent);
        const Slot* slot = Find(parent, name);
        return slot ? slot->first : nullptr;
    }

    /// After `child` went into `parent`.
    void Inserted(const xercesc::DOMNode* parent, xercesc::DOMNode* child)
    {
        if (child->getNodeType() == xercesc::DOMNode::DOCUMENT_FRAGMENT_NODE) {
            Clear(); // its children went in, and are no longer its own
            return;
        }
        if (child->getNodeType() != xercesc::DOMNode::ELEMENT_NODE || !Find(parent, {}))
            return;
        auto [slot, added] = Add(parent, child->getNodeName(), child);
        ++slot->count;
        if (!added && Precedes(child, slot->first))
            slot->first = child;
    }

    /// Before `child` leaves `parent`.
    void Removing(const xercesc::DOMNode* parent, xercesc::DOMNode* child)
    {
        if (child->getNodeType() != xercesc::DOMNode::ELEMENT_NODE || !Find(parent, {}))
            return;
        Slot* slot = Find(parent, child->getNodeName());
        if (!slot)
            Clear(); // the index went wrong somewhere: start afresh
        else if (--slot->count == 0)
            Erase(slot);
        else if (slot->first == child)
            slot->first = NextNamed(child);
    }

    /// Changes of the tree made by the wrappers, from the constructor to the destructor. One that fails
    /// partway drops the index.
    class TChange {
    public:
        explicit TChange(TElementIndex* index)
            : index_(index)
            , exceptions_(std::uncaught_exceptions())
        {
            if (index_ && index_->changing_++ == 0)
                index_->CatchUp();
        }
        ~TChange()
        {
            if (!index_)
                return;
            if (std::uncaught_exceptions() > exceptions_)
                index_->Clear();
            if (--index_->changing_ == 0)
                index_->changes_ = index_->library_->changes();
        }
        TChange(const TChange&) = delete;
        TChange& operator=(const TChange&) = delete;

    private:
        TElementIndex* index_;
        int exceptions_;
    };

private:
    // One parent and name: its first element and how many there are. The name is the library's own text,
    // which lasts as long as the document. The empty name marks a parent whose children are indexed.
    struct Slot {
        std::size_t hash = 0;
        const xercesc::DOMNode* parent = nullptr; // null: a free slot
        std::u16string_view name;
        xercesc::DOMNode* first = nullptr;
        std::size_t count = 0;
    };

    static std::size_t Hash(const xercesc::DOMNode* parent, std::u16string_view name)
    {
        std::uint64_t mixed = reinterpret_cast<std::uintptr_t>(parent);
        mixed = (mixed ^ (mixed >> 33)) * 0xff51afd7ed558ccdULL;
        return std::hash<std::u16string_view>()(name) ^ std::size_t(mixed ^ (mixed >> 33));
    }

    // Open addressing with linear probing in a table of a power of two slots, at most three quarters full;
    // a slot's hash spares reading names that cannot match.
    Slot* Find(const xercesc::DOMNode* parent, std::u16string_view name)
    {
        if (slots_.empty())
            return nullptr;
        const std::size_t hash = Hash(parent, name);
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
            Slot& slot = slots_[i];
            if (!slot.parent)
                return nullptr;
            if (slot.hash == hash && slot.parent == parent && slot.name == name)
                return &slot;
        }
    }

    // The slot of `parent` and `name`, and whether it is new (holding `first` and a count of 0).
    std::pair<Slot*, bool> Add(const xercesc::DOMNode* parent, std::u16string_view name,
                               xercesc::DOMNode* first)
    {
        if (Slot* slot = Find(parent, name))
            return {slot, false};
        if ((used_ + 1) * 4 > slots_.size() * 3)
            Grow();
        const std::size_t hash = Hash(parent, name);
        const std::size_t mask = slots_.size() - 1;
        std::size_t i = hash & mask;
        while (slots_[i].parent)
            i = (i + 1) & mask;
        slots_[i] = {hash, parent, name, first, 0};
        ++used_;
        return {&slots_[i], true};
    }

    void Grow()
    {
        std::vector<Slot> old(std::max<std::size_t>(16, slots_.size() * 2));
        old.swap(slots_);
        const std::size_t mask = slots_.size() - 1;
        for (const Slot& slot : old)
            if (slot.parent) {
                std::size_t i = slot.hash & mask;
                while (slots_[i].parent)
                    i = (i + 1) & mask;
                slots_[i] = slot;
            }
    }

    // Frees the slot and moves later slots of its run back, so that every search still reaches its slot.
    void Erase(Slot* slot)
    {
        const std::size_t mask = slots_.size() - 1;
        std::size_t hole = std::size_t(slot - slots_.data());
        for (std::size_t i = (hole + 1) & mask; slots_[i].parent; i = (i + 1) & mask)
            if (((i - (slots_[i].hash & mask)) & mask) >= ((i - hole) & mask)) {
                slots_[hole] = slots_[i];
                hole = i;
            }
        slots_[hole] = Slot{};
        --used_;
    }

    void Clear()
    {
        slots_.clear();
        used_ = 0;
    }

    // Changes the wrappers did not report make the index start afresh.
    void CatchUp()
    {
        const int changes = library_->changes();
        if (changes != changes_)
            Clear();
        changes_ = changes;
    }

    void Build(const xercesc::DOMNode* parent)
    {
        Add(parent, {}, nullptr);
        for (auto* child = parent->getFirstChild(); child; child = child->getNextSibling())
            if (child->getNodeType() == xercesc::DOMNode::ELEMENT_NODE)
                ++Add(parent, child->getNodeName(), child).first->count;
    }

    static bool Precedes(const xercesc::DOMNode* node, const xercesc::DOMNode* other)
    {
        for (auto* next = node->getNextSibling(); next; next = next->getNextSibling())
            if (next == other)
                return true;
        return false;
    }

    static xercesc::DOMNode* NextNamed(const xercesc::DOMNode* element)
    {
        for (auto* next = element->getNextSibling(); next; next = next->getNextSibling())
            if (next->getNodeType() == xercesc::DOMNode::ELEMENT_NODE &&
                xercesc::XMLString::equals(next->getNodeName(), element->getNodeName()))
                return next;
        return nullptr;
    }

    const xercesc::DOMDocument* document_;
    xercesc::DOMDocumentImpl* library_;
    int changes_;
    int changing_ = 0;
    std::vector<Slot> slots_;
    std::size_t used_ = 0;
};

using TIndexedChange = TElementIndex::TChange;

} // namespace xml

namespace {

constexpr std::string_view kClassName = "TtscXMLDocument";

// Runs a change of the tree and turns the library's errors into ours.
template <class F> auto Guarded(F&& f) -> decltype(f())
{
    try {
        return f();
    } catch (const xercesc::DOMException& e) {
        throw EXmlLibraryError(FromXml(e.getMessage()));
    } catch (const xercesc::XMLException& e) {
        throw EXmlLibraryError(FromXml(e.getMessage()));
    } catch (const xercesc::OutOfMemoryException&) {
        // Out of memory is no fault of the document: the storage names its file.
        throw std::bad_alloc();
    }
}

bool HoldsOnlyText(const xercesc::DOMNode* reference)
{
    for (auto* child = reference->getFirstChild(); child; child = child->getNextSibling()) {
        const auto type = child->getNodeType();
        if (type != xercesc::DOMNode::TEXT_NODE &&
            (type != xercesc::DOMNode::ENTITY_REFERENCE_NODE || !HoldsOnlyText(child)))
            return false;
    }
    return true;
}

// Replaces every reference below `parent` that stands for markup by a copy of what it stands for: the
// library keeps what a reference holds read-only, and such elements must be found and edited as any.
void ExpandMarkupReferences(xercesc::DOMNode* parent)
{
    xercesc::DOMNode* child = parent->getFirstChild();
    while (child) {
        if (child->getNodeType() == xercesc::DOMNode::ENTITY_REFERENCE_NODE && !HoldsOnlyText(child)) {
            xercesc::DOMNode* first = nullptr;
            for (auto* part = child->getFirstChild(); part; part = part->getNextSibling()) {
                xercesc::DOMNode* copy = parent->insertBefore(part->cloneNode(true), child);
                if (!first)
                    first = copy;
            }
            xercesc::DOMNode* after = child->getNextSibling();
            parent->removeChild(child);
            child = first ? first : after; // the copies may hold references of their own
            continue;
        }
        if (child->getNodeType() == xercesc::DOMNode::ELEMENT_NODE)
            ExpandMarkupReferences(child);
        child = child->getNextSibling();
    }
}

void CheckName(std::string_view name, std::string_view context)
{
    const std::string reason = CheckXmlName(name);
    if (!reason.empty())
        throw EXmlCharacterError(Format("%s on %s", reason, context));
}

bool IsBlank(const XMLCh* text)
{
    for (; text != nullptr && *text != 0; ++text)
        if (*text != u' ' && *text != u'\t' && *text != u'\n' && *text != u'\r')
            return false;
    return true;
}

std::u16string Indentation(int tabs)
{
    return u"\n" + std::u16string(std::size_t(std::max(tabs, 0)), u'\t');
}

xercesc::DOMImplementation* Implementation()
{
    return xercesc::DOMImplementationRegistry::getDOMImplementation(u"LS");
}

std::string_view DropLeadingSlash(std::string_view path)
{
    if (!path.empty() && path.front() == '/')
        path.remove_prefix(1);
    return path;
}

// A name in the library's UTF-16 for a look-up, converted on the stack when it is short and ASCII, as the
// names of settings are.
class TLookupName {
public:
    explicit TLookupName(std::string_view name)
    {
        if (name.size() <= buffer_.size() &&
            std::all_of(name.begin(), name.end(), [](char c) { return (unsigned char)c < 0x80; })) {
            std::copy(name.begin(), name.end(), buffer_.begin());
            view_ = {buffer_.data(), name.size()};
        } else {
            spill_ = ToXml(name);
            view_ = spill_;
        }
        // The library compares names up to a NUL.
        view_ = view_.substr(0, view_.find(u'\0'));
    }
    TLookupName(const TLookupName&) = delete;
    TLookupName& operator=(const TLookupName&) = delete;
    std::u16string_view View() const { return view_; }

private:
    std::array<char16_t, 64> buffer_;
    std::u16string spill_;
    std::u16string_view view_;
};

// `SameText(text, FromXml(name))` without converting an ASCII name; a null name is "".
bool SameTextAsName(std::string_view text, const XMLCh* name)
{
    const auto upper = [](char16_t c) { return c >= u'a' && c <= u'z' ? char16_t(c - u'a' + u'A') : c; };
    std::size_t i = 0;
    for (const XMLCh* c = name; c && *c; ++c, ++i) {
        if (*c >= 0x80)
            return SameText(text, FromXml(name));
        if (i == text.size() || upper(char16_t((unsigned char)text[i])) != upper(*c))
            return false;
    }
    return i == text.size();
}

// The path without a first segment naming the root.
std::string_view RootRelative(std::string_view path, const XMLCh* rootName)
{
    if (path.empty())
        return {};
    const std::string_view trimmed = DropLeadingSlash(path);
    const auto slash = trimmed.find('/');
    if (!SameTextAsName(trimmed.substr(0, slash), rootName))
        return path;
    return slash == trimmed.npos ? trimmed : trimmed.substr(slash + 1);
}

const XMLCh* NameOf(const TtscXMLNode& node)
{
    return node.HasNode() ? node.DOMNode()->getNodeName() : nullptr;
}

} // namespace

// --- errors -----------------------------------------------------------------------------------------------

EtscXMLDocException::EtscXMLDocException(int code, std::string message)
    : Exception(std::move(message))
    , code_(code)
{
}

void RaiseXMLDocError(int code, std::string_view where)
{
    const std::string context = VisibleControls(where);
    std::string message;
    switch (code) {
    case -900:
        message = Format("File name not specified on %s.%s", context, "Load");
        break;
    case -901:
        message = Format("File name not specified on %s.%s", context, "Save");
        break;
    case -902:
        message = Format("The specified file (%s) does not exist or could not be found", context);
        break;
    case -903:
        message = Format("No source node specified on %s", context);
        break;
    case -904:
        message = Format("Index out of range on %s", context);
        break;
    case -905:
        message = Format("Invalid Node Type for action (%s)", context);
        break;
    case -906:
        message = Format("The specified node path was invalid (%s)", context);
        break;
    case -907:
        message = Format("No parent node available on %s", context);
        break;
    default:
        message = Format("An exception (%d) occurred in %s", code, "tscXMLDoc");
        break;
    }
    throw EtscXMLDocException(code, std::move(message));
}

EParserException::EParserException(const std::string& fileName, std::string detail, std::int64_t line,
                                   std::int64_t column)
    : Exception(Format("%s Error reading file %s", "Parser error.", VisibleControls(fileName)))
    , detail_(VisibleControls(detail))
    , line_(line)
    , column_(column)
{
}

void CheckXmlValue(std::string_view text, std::string_view context)
{
    const std::string reason = CheckXmlText(text);
    if (!reason.empty())
        throw EXmlCharacterError(Format("Text cannot be stored in XML on %s: %s", context, reason));
}

TtscNodeTypes::TtscNodeTypes(std::initializer_list<int> types)
{
    for (const int type : types)
        if (type >= 0 && type < 32)
            bits_ |= 1u << type;
}

// --- TtscXMLNode ------------------------------------------------------------------------------------------

TtscXMLNode::TtscXMLNode(TtscDOMDocument* owner, xercesc::DOMNode* node)
    : owner_(owner)
    , node_(node)
{
}

xml::TElementIndex* TtscXMLNode::Index() const
{
    return owner_ && node_ ? owner_->ElementIndex() : nullptr;
}

int TtscXMLNode::GetNodeType() const
{
    return node_ ? int(node_->getNodeType()) : NODE_NONE;
}

std::string TtscXMLNode::GetNodeName() const
{
    return node_ ? FromXml(node_->getNodeName()) : std::string();
}

std::string TtscXMLNode::GetNodeValue() const
{
    return node_ ? FromXml(node_->getNodeValue()) : std::string();
}

void TtscXMLNode::SetNodeValue(std::string_view value)
{
    if (!node_)
        return;
    CheckXmlValue(value, "TtscXMLNode.SetNodeValue");
    if (node_->getNodeType() == xercesc::DOMNode::CDATA_SECTION_NODE && value.find("]]>") != value.npos)
        throw EXmlCharacterError(
            "Text cannot be stored in XML on TtscXMLNode.SetNodeValue: \"]]>\" in CDATA");
    const xml::TIndexedChange change(Index());
    Guarded([&] { node_->setNodeValue(ToXml(value).c_str()); });
}

std::string TtscXMLNode::GetText() const
{
    if (!node_)
        return {};
    // The common leaf, one text or CDATA node, without building the joined text.
    const auto* only = node_->getFirstChild();
    if (only && !only->getNextSibling() &&
        (only->getNodeType() == xercesc::DOMNode::TEXT_NODE ||
         only->getNodeType() == xercesc::DOMNode::CDATA_SECTION_NODE))
        return FromXml(only->getNodeValue());
    return FromXml(node_->getTextContent());
}

void TtscXMLNode::SetText(std::string_view value)
{
    if (!node_)
        return;
    CheckXmlValue(value, "TtscXMLNode.SetText");
    const std::u16string text = ToXml(value);
    const xml::TIndexedChange change(Index());
    Guarded([&] {
        if (HasChildElements()) {
            for (auto* child = node_->getFirstChild(); child; child = child->getNextSibling())
                if (child->getNodeType() == xercesc::DOMNode::TEXT_NODE) {
                    child->setNodeValue(text.c_str());
                    return;
                }
            node_->appendChild(owner_->CreateTextNode(value).DOMNode());
            return;
        }
        // A leaf holds its value in one text node: text, CDATA and references written before (by us or a
        // peer) go, so that the value never reads back joined with an old one.
        std::vector<xercesc::DOMNode*> old;
        for (auto* child = node_->getFirstChild(); child; child = child->getNextSibling())
            if (child->getNodeType() == xercesc::DOMNode::TEXT_NODE ||
                child->getNodeType() == xercesc::DOMNode::CDATA_SECTION_NODE ||
                child->getNodeType() == xercesc::DOMNode::ENTITY_REFERENCE_NODE)
                old.push_back(child);
        xercesc::DOMNode* keep = nullptr;
        if (!old.empty() && old.front()->getNodeType() == xercesc::DOMNode::TEXT_NODE) {
            keep = old.front();
            keep->setNodeValue(text.c_str());
        } else {
            keep = owner_->CreateTextNode(value).DOMNode();
            node_->insertBefore(keep, old.empty() ? nullptr : old.front());
        }
        for (auto* child : old)
            if (child != keep)
                node_->removeChild(child);
    });
}

void TtscXMLNode::ResolveEntityReferences() const
{
    if (!node_)
        RaiseXMLDocError(-903, "TtscXMLNode.ResolveEntityReferences");
    // A reference to plain text stays: it reads as its text and is saved as it was read.
    Guarded([&] { ExpandMarkupReferences(node_); });
}

bool TtscXMLNode::HasAttributes() const
{
    return node_ && node_->hasAttributes();
}

TtscXMLNode TtscXMLNode::GetAttributeNode(std::string_view name) const
{
    if (GetNodeType() != ELEMENT_NODE || !node_->hasAttributes())
        return {};
    return {owner_, node_->getAttributes()->getNamedItem(ToXml(name).c_str())};
}

std::string TtscXMLNode::GetAttributeValue(std::string_view name) const
{
    return GetAttributeNode(name).GetNodeValue();
}

void TtscXMLNode::SetAttributeValue(std::string_view name, std::string_view value)
{
    const int type = GetNodeType();
    if (type != ELEMENT_NODE)
        RaiseXMLDocError(-905, Format("NodeType %d on SetAttributeValue", type));
    CheckName(name, "TtscXMLNode.SetAttributeValue");
    CheckXmlValue(value, "TtscXMLNode.SetAttributeValue");
    const xml::TIndexedChange change(Index());
    Guarded([&] {
        static_cast<xercesc::DOMElement*>(node_)->setAttribute(ToXml(name).c_str(), ToXml(value).c_str());
    });
}

int TtscXMLNode::ChildCount() const
{
    return node_ ? int(node_->getChildNodes()->getLength()) : 0;
}

TtscXMLNode TtscXMLNode::GetChild(int index) const
{
    if (!node_ || !node_->hasChildNodes())
        return {};
    if (index < 0)
        return {owner_, nullptr};
    return {owner_, node_->getChildNodes()->item(XMLSize_t(index))};
}

TtscXMLNode TtscXMLNode::FirstChildElement() const
{
    if (!node_)
        return {};
    for (auto* child = node_->getFirstChild(); child; child = child->getNextSibling())
        if (child->getNodeType() == xercesc::DOMNode::ELEMENT_NODE)
            return {owner_, child};
    return {};
}

TtscXMLNode TtscXMLNode::ChildElementByName(std::string_view name) const
{
    if (!node_)
        return {};
    const TLookupName wanted(name);
    if (auto* index = Index())
        if (const auto found = index->First(node_, wanted.View()))
            return *found ? TtscXMLNode(owner_, *found) : TtscXMLNode();
    // Plain sibling steps: the library's element-to-element steps cost a cast per node.
    for (auto* child = node_->getFirstChild(); child; child = child->getNextSibling())
        if (child->getNodeType() == xercesc::DOMNode::ELEMENT_NODE &&
            std::u16string_view(child->getNodeName()) == wanted.View())
            return {owner_, child};
    return {};
}

bool TtscXMLNode::HasChildElements() const
{
    return FirstChildElement().HasNode();
}

TtscXMLNode TtscXMLNode::ParentNode() const
{
    return node_ ? TtscXMLNode(owner_, node_->getParentNode()) : TtscXMLNode();
}

TtscXMLNode TtscXMLNode::NextSibling() const
{
    return node_ ? TtscXMLNode(owner_, node_->getNextSibling()) : TtscXMLNode();
}

TtscXMLNode TtscXMLNode::PreviousSibling() const
{
    return node_ ? TtscXMLNode(owner_, node_->getPreviousSibling()) : TtscXMLNode();
}

int TtscXMLNode::Depth() const
{
    int depth = 0;
    for (auto* parent = node_ ? node_->getParentNode() : nullptr; parent; parent = parent->getParentNode())
        ++depth;
    return depth;
}

std::string TtscXMLNode::GetPITarget() const
{
    if (GetNodeType() != PROCESSING_INSTRUCTION_NODE)
        return {};
    return FromXml(static_cast<xercesc::DOMProcessingInstruction*>(node_)->getTarget());
}

std::string TtscXMLNode::GetPIData() const
{
    if (GetNodeType() != PROCESSING_INSTRUCTION_NODE)
        return {};
    return FromXml(static_cast<xercesc::DOMProcessingInstruction*>(node_)->getData());
}

void TtscXMLNode::AppendChild(const TtscXMLNode& child)
{
    if (!node_ || !child.node_)
        RaiseXMLDocError(-903, "TtscXMLNode.AppendChild");
    const int childType = child.GetNodeType();
    const bool indent = node_->getNodeType() != xercesc::DOMNode::DOCUMENT_NODE && owner_ && owner_->Indent &&
                        childType != TEXT_NODE && childType != CDATA_SECTION_NODE;
    xml::TElementIndex* index = Index();
    const xml::TIndexedChange change(index);
    Guarded([&] {
        // A child already in a tree leaves its parent first.
        if (auto* from = child.node_->getParentNode(); index && from)
            index->Removing(from, child.node_);
        if (!indent) {
            node_->appendChild(child.node_);
            if (index)
                index->Inserted(node_, child.node_);
            return;
        }
        // The child goes in first: when the library refuses it, the whitespace is not left behind.
        // The result is the same: new line and tabs, the child, then the parent's last text (made here,
        // with the closing tag's indentation, when the parent was empty).
        auto* document = owner_->LibraryDocument();
        const int depth = Depth();
        const bool empty = !node_->hasChildNodes();
        xercesc::DOMNode* anchor = node_->getLastChild();
        while (anchor && anchor->getNodeType() != xercesc::DOMNode::TEXT_NODE)
            anchor = anchor->getPreviousSibling();
        node_->insertBefore(child.node_, anchor);
        if (index)
            index->Inserted(node_, child.node_);
        if (empty)
            node_->appendChild(document->createTextNode(Indentation(depth - 1).c_str()));
        node_->insertBefore(document->createTextNode(Indentation(depth).c_str()), child.node_);
    });
}

void TtscXMLNode::RemoveChild(const TtscXMLNode& child)
{
    if (!node_)
        RaiseXMLDocError(-903, "TtscXMLNode.RemoveChild");
    xml::TElementIndex* index = Index();
    const xml::TIndexedChange change(index);
    Guarded([&] {
        if (!child.node_ || child.node_->getParentNode() != node_) {
            node_->removeChild(child.node_); // raises the library's "not found"
            return;
        }
        // Only indentation goes with the child; text that is content stays.
        auto* before = child.node_->getPreviousSibling();
        if (owner_ && owner_->Indent && before && before->getNodeType() == xercesc::DOMNode::TEXT_NODE &&
            IsBlank(before->getNodeValue()))
            node_->removeChild(before);
        if (index)
            index->Removing(node_, child.node_);
        node_->removeChild(child.node_);
    });
}

void TtscXMLNode::AppendCDATA(std::string_view value)
{
    CheckXmlValue(value, "TtscXMLNode.AppendCDATA");
    if (!node_)
        RaiseXMLDocError(-903, "TtscXMLNode.AppendChild");
    // CDATA cannot hold "]]>": the value is split after each "]]", and the pieces read back joined.
    std::vector<std::string_view> pieces;
    std::size_t start = 0;
    for (auto end = value.find("]]>"); end != value.npos; end = value.find("]]>", start)) {
        pieces.push_back(value.substr(start, end + 2 - start));
        start = end + 2;
    }
    pieces.push_back(value.substr(start));
    for (const auto piece : pieces)
        AppendChild(owner_->CreateCDATASection(piece));
}

TtscXMLNode TtscXMLNode::FindPath(std::string_view path) const
{
    // SplitPath again and again on the path with a trailing "/", which is not copied to add it: `end` is
    // where that last "/" stands.
    const std::size_t end = path.ends_with('/') ? path.size() : path.size() + 1;
    std::size_t pos = 0;
    TtscXMLNode current = *this;
    for (;;) {
        if (pos < end && (pos == path.size() || path[pos] == '/'))
            ++pos;
        if (pos >= end)
            return {};
        const std::size_t slash = std::min(path.find('/', pos), path.size());
        const TtscXMLNode child = current.ChildElementByName(path.substr(pos, slash - pos));
        pos = slash + 1;
        if (!child.HasNode() || pos >= end)
            return child.HasNode() ? child : TtscXMLNode();
        current = child;
    }
}

bool TtscXMLNode::PathExists(std::string_view path) const
{
    return FindPath(path).HasNode();
}

TtscXMLNode TtscXMLNode::CreatePath(std::string_view path)
{
    if (path.empty())
        RaiseXMLDocError(-906, "Empty path string on CreatePath");
    // Every name is checked before the first element is made, so a refused path changes nothing.
    std::vector<std::string> segments;
    std::string rest(path);
    std::string first;
    do {
        SplitPath(std::string(rest), first, rest);
        CheckName(first, "CreatePath");
        segments.push_back(first);
    } while (!rest.empty());
    if (!node_)
        RaiseXMLDocError(-903, "TtscXMLNode.AppendChild");
    if (Depth() + int(segments.size()) > TtscXMLDocument::kMaxDepth)
        RaiseXMLDocError(-906, "Path too deep on CreatePath");
    TtscXMLNode current = *this;
    for (std::size_t i = 0; i < segments.size(); ++i) {
        const bool last = i + 1 == segments.size();
        TtscXMLNode child = last ? TtscXMLNode() : current.ChildElementByName(segments[i]);
        if (!child.HasNode()) {
            child = owner_->CreateElement(segments[i]);
            current.AppendChild(child);
        }
        current = child;
    }
    return current;
}

std::string TtscXMLNode::FindChildNameByAttribute(std::string_view subPath, std::string_view attributeName,
                                                  std::string_view value) const
{
    const TtscXMLNode base = subPath.empty() ? *this : FindPath(subPath);
    for (TtscXMLNode node = base.FirstChildElement(); node.HasNode(); node = node.NextSibling())
        if (SameText(node.GetAttributeValue(attributeName), value))
            return node.GetNodeName();
    return {};
}

bool TtscXMLNode::WalkNodes(const TtscNodeTypes& types,
                            const std::function<bool(const TtscXMLNode&)>& callback) const
{
    bool goOn = true;
    if (types.Contains(GetNodeType()))
        goOn = callback(*this);
    if (!goOn || !node_)
        return goOn;
    for (auto* child = node_->getFirstChild(); child && goOn; child = child->getNextSibling())
        if (types.Contains(int(child->getNodeType())))
            goOn = TtscXMLNode(owner_, child).WalkNodes(types, callback);
    return goOn;
}

// --- TtscDOMDocument --------------------------------------------------------------------------------------

TtscDOMDocument::TtscDOMDocument(TtscXMLDocument* xmlDocument)
    : TtscXMLNode(this, nullptr)
    , xmlDocument_(xmlDocument)
{
}

TtscDOMDocument::~TtscDOMDocument()
{
    index_.reset();
    if (document_)
        document_->release();
}

TtscXMLNode TtscDOMDocument::CreateElement(std::string_view name)
{
    CheckName(name, "TtscDOMDocument.CreateElement");
    if (!document_)
        RaiseXMLDocError(-903, "TtscDOMDocument.CreateElement");
    return Guarded([&] { return TtscXMLNode(this, document_->createElement(ToXml(name).c_str())); });
}

TtscXMLNode TtscDOMDocument::CreateTextNode(std::string_view text)
{
    CheckXmlValue(text, "TtscDOMDocument.CreateTextNode");
    if (!document_)
        RaiseXMLDocError(-903, "TtscDOMDocument.CreateTextNode");
    return Guarded([&] { return TtscXMLNode(this, document_->createTextNode(ToXml(text).c_str())); });
}

TtscXMLNode TtscDOMDocument::CreateCDATASection(std::string_view text)
{
    CheckXmlValue(text, "TtscDOMDocument.CreateCDATASection");
    if (!document_)
        RaiseXMLDocError(-903, "TtscDOMDocument.CreateCDATASection");
    return Guarded([&] { return TtscXMLNode(this, document_->createCDATASection(ToXml(text).c_str())); });
}

void TtscDOMDocument::SetDocument(xercesc::DOMDocument* document)
{
    index_.reset();
    if (document_ && document_ != document)
        document_->release();
    document_ = document;
    node_ = document;
    if (document_)
        index_ = std::make_unique<xml::TElementIndex>(document_);
}

xml::TElementIndex* TtscDOMDocument::ElementIndex() const
{
    return index_ && index_->Usable() ? index_.get() : nullptr;
}

TtscXMLNode TtscDOMDocument::GetDocumentElement() const
{
    return {const_cast<TtscDOMDocument*>(this), document_ ? document_->getDocumentElement() : nullptr};
}

// --- TtscXMLDocument --------------------------------------------------------------------------------------

TtscXMLDocument::TtscXMLDocument()
    : Sleep([](int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); })
    , dom_(std::make_unique<TtscDOMDocument>(this))
{
    xml::TXercesLibrary::Use();
    parser_ = std::make_unique<xml::TSettingsParser>();
}

TtscXMLDocument::~TtscXMLDocument() = default;

void TtscXMLDocument::Load(const std::string& fileName)
{
    if (!fileName.empty())
        fileName_ = fileName;
    if (fileName_.empty())
        RaiseXMLDocError(-900, kClassName);
    if (!FileExists(fileName_))
        RaiseXMLDocError(-902, fileName_);
    struct stat st {};
    if (stat(fileName_.c_str(), &st) == 0 && st.st_size > kMaxFileSize)
        throw EParserException(fileName_, "the file is too big", 0, 0);
    const std::string bytes = ReadFileBytes(fileName_);
    if (std::int64_t(bytes.size()) > kMaxFileSize)
        throw EParserException(fileName_, "the file is too big", 0, 0);

    // Running out of memory while the file is parsed or taken in is no fault of the file, which must never
    // be taken for a damaged one: the error names the file as too large for the memory available.
    const auto tooLarge = [this] {
        const std::string reason(STooLargeForMemory);
        return EFOpenError(Format(SFOpenError, VisibleControls(fileName_), reason), reason);
    };
    xercesc::DOMDocument* document = nullptr;
    try {
        const std::u16string systemId = ToXml(fileName_);
        xercesc::MemBufInputSource source(reinterpret_cast<const XMLByte*>(bytes.data()), bytes.size(),
                                          systemId.c_str(), false);
        parser_->parse(source);
        document = parser_->adoptDocument();
    } catch (const xercesc::SAXParseException& e) {
        throw EParserException(fileName_, FromXml(e.getMessage()), std::int64_t(e.getLineNumber()),
                               std::int64_t(e.getColumnNumber()));
    } catch (const xercesc::XMLException& e) {
        throw EParserException(fileName_, FromXml(e.getMessage()), std::int64_t(e.getSrcLine()), 0);
    } catch (const xercesc::DOMException& e) {
        throw EParserException(fileName_, FromXml(e.getMessage()), 0, 0);
    } catch (const xercesc::OutOfMemoryException&) {
        throw tooLarge();
    } catch (const std::bad_alloc&) {
        throw tooLarge();
    } catch (const std::length_error&) {
        throw tooLarge();
    }
    if (document == nullptr || document->getDocumentElement() == nullptr) {
        if (document)
            document->release();
        throw EParserException(fileName_, "no root element", 0, 0);
    }
    // XML 1.1 admits characters that a settings file, written as XML 1.0, cannot hold.
    if (xercesc::XMLString::equals(document->getXmlVersion(), u"1.1")) {
        document->release();
        throw EParserException(fileName_, "only XML 1.0 is read", 0, 0);
    }
    try {
        dom_->SetDocument(document);
        dom_->AfterLoad();
    } catch (const std::bad_alloc&) {
        throw tooLarge();
    }
}

void TtscXMLDocument::Save(const std::string& fileName)
{
    if (!fileName.empty())
        fileName_ = fileName;
    if (fileName_.empty())
        RaiseXMLDocError(-901, kClassName);
    xercesc::DOMDocument* document = dom_->LibraryDocument();
    if (document == nullptr || document->getDocumentElement() == nullptr)
        RaiseXMLDocError(-903, "TtscXMLDocument.Save");

    // The whole file is rendered first: a failing serializer never touches the file.
    std::string bytes = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    Guarded([&] {
        auto* implementation = static_cast<xercesc::DOMImplementationLS*>(Implementation());
        std::unique_ptr<xercesc::DOMLSSerializer, void (*)(xercesc::DOMLSSerializer*)> serializer(
            implementation->createLSSerializer(), [](xercesc::DOMLSSerializer* s) { s->release(); });
        std::unique_ptr<xercesc::DOMLSOutput, void (*)(xercesc::DOMLSOutput*)> output(
            implementation->createLSOutput(), [](xercesc::DOMLSOutput* o) { o->release(); });
        serializer->getDomConfig()->setParameter(xercesc::XMLUni::fgDOMXMLDeclaration, false);
        xercesc::MemBufFormatTarget target;
        output->setByteStream(&target);
        output->setEncoding(u"UTF-8");
        for (auto* node = document->getFirstChild(); node; node = node->getNextSibling()) {
            target.reset();
            if (!serializer->write(node, output.get()))
                throw EXmlLibraryError(
                    Format("The XML library could not write %s", VisibleControls(fileName_)));
            bytes.append(reinterpret_cast<const char*>(target.getRawBuffer()), target.getLen());
            bytes += '\n';
        }
    });

    // What the loader would refuse is never written: the old file stays readable.
    if (std::int64_t(bytes.size()) > kMaxFileSize)
        throw EWriteError(Format("The settings file %s was not saved: it would be %d bytes, more than the %d "
                                 "this program reads. The file is left as it was.",
                                 VisibleControls(fileName_), std::int64_t(bytes.size()), kMaxFileSize));
    for (int attemptsLeft = 3;;) {
        try {
            WriteFileAtomically(fileName_, bytes, WriteMode);
            return;
        } catch (const EFCreateError&) {
            if (--attemptsLeft == 0)
                throw;
            Sleep(1000);
        }
    }
}

std::string TtscXMLDocument::RootRelativePath(std::string_view path) const
{
    return std::string(RootRelative(path, NameOf(GetDocumentElement())));
}

TtscXMLNode TtscXMLDocument::FindNode(std::string_view path) const
{
    if (path.empty())
        return {};
    const TtscXMLNode root = GetDocumentElement();
    if (root.HasNode() && SameTextAsName(DropLeadingSlash(path), NameOf(root)))
        return root;
    return root.FindPath(RootRelative(path, NameOf(root)));
}

bool TtscXMLDocument::PathExists(std::string_view path) const
{
    return GetDocumentElement().PathExists(IncludeTrailingSlash(RootRelativePath(path)));
}

TtscXMLNode TtscXMLDocument::CreatePath(std::string_view path)
{
    if (path.empty())
        RaiseXMLDocError(-906, "Empty path string on CreatePath");
    return GetDocumentElement().CreatePath(IncludeTrailingSlash(RootRelativePath(path)));
}

std::string TtscXMLDocument::ReadText(std::string_view path) const
{
    return Trim(FindNode(path).GetText());
}

void TtscXMLDocument::WriteText(std::string_view path, std::string_view text)
{
    CheckXmlValue(text, "TtscXMLDocument.WriteText");
    TtscXMLNode node = FindNode(path);
    if (!node.HasNode())
        node = CreatePath(path);
    node.SetText(text);
}

} // namespace carlume
