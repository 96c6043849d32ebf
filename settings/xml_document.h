#pragma once

// The object layer over the XML library's DOM: node wrappers with slash-path look-up and creation, the
// tab indentation kept as the tree is edited, and the XML file that loads and saves such a tree.
//
// A `TtscXMLNode` is a small value that points at a DOM node of a document. It must not be used after
// that document is gone: after the `TtscXMLDocument` is destroyed, or after its next successful `Load`,
// which releases the tree it held before.
//
// Looking a child element up by name goes through an index of each parent's children that the document
// keeps beside the tree: the wrappers' changes keep it right, and a change made with the library's own
// calls (through `DOMNode()` or `LibraryDocument()`) makes it start afresh. Renaming an element with the
// library is the one change it cannot see.
//
// Text crosses into the library as UTF-8 and is checked before any change: text that XML 1.0 cannot hold
// (invalid UTF-8, control characters other than TAB, LF and CR) and names that are no XML names raise
// `EXmlCharacterError` and leave the tree as it was.

#include "platform/exceptions.h"
#include "platform/files.h"

#include <xercesc/util/XercesDefs.hpp>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

XERCES_CPP_NAMESPACE_BEGIN
class DOMDocument;
class DOMNode;
XERCES_CPP_NAMESPACE_END

namespace carlume {

namespace xml {
class TElementIndex;
class TSettingsParser;
} // namespace xml

class TtscDOMDocument;
class TtscXMLDocument;

/// DOM node types, with the library's codes; 0 is a wrapper without a node.
inline constexpr int NODE_NONE = 0;
inline constexpr int ELEMENT_NODE = 1;
inline constexpr int TEXT_NODE = 3;
inline constexpr int CDATA_SECTION_NODE = 4;
inline constexpr int PROCESSING_INSTRUCTION_NODE = 7;
inline constexpr int COMMENT_NODE = 8;
inline constexpr int DOCUMENT_NODE = 9;

/// An error of the XML layer, with its code (-900 to -907).
class EtscXMLDocException : public Exception {
public:
    /// An error with this code and message.
    EtscXMLDocException(int code, std::string message);
    /// The code.
    int Code() const noexcept { return code_; }

private:
    int code_;
};

/// Raises `EtscXMLDocException` with the code's message filled with `context`.
[[noreturn]] void RaiseXMLDocError(int code, std::string_view context);

/// A file that is no well-formed XML (or that breaks the parser's limits).
class EParserException : public Exception {
public:
    /// "Parser error. Error reading file <fileName>", with the parser's own words for the log.
    EParserException(const std::string& fileName, std::string detail, std::int64_t line, std::int64_t column);
    /// The parser's own message.
    const std::string& Detail() const noexcept { return detail_; }
    /// Where the parser stopped (0 when it does not say).
    std::int64_t Line() const noexcept { return line_; }
    std::int64_t Column() const noexcept { return column_; }

private:
    std::string detail_;
    std::int64_t line_;
    std::int64_t column_;
};

/// An error the XML library raised, with its message.
class EXmlLibraryError : public Exception {
public:
    using Exception::Exception;
};

/// A text or a name that XML cannot hold; nothing was changed.
class EXmlCharacterError : public Exception {
public:
    using Exception::Exception;
};

/// Raises `EXmlCharacterError` naming `context` when XML cannot hold `text`.
void CheckXmlValue(std::string_view text, std::string_view context);

/// A set of DOM node types, for `WalkNodes`.
class TtscNodeTypes {
public:
    TtscNodeTypes(std::initializer_list<int> types);
    bool Contains(int type) const { return type >= 0 && type < 32 && (bits_ & (1u << type)) != 0; }

private:
    std::uint32_t bits_ = 0;
};

/// One DOM node (or none), with navigation, text, attributes and path operations.
class TtscXMLNode {
public:
    /// A wrapper without a node.
    TtscXMLNode() = default;
    /// A wrapper on `node`, which belongs to the document `owner` wraps.
    TtscXMLNode(TtscDOMDocument* owner, xercesc::DOMNode* node);

    /// True when a node is attached.
    bool HasNode() const { return node_ != nullptr; }
    /// The node's type; 0 without a node.
    int GetNodeType() const;
    /// The node's name (the tag for an element); "" without a node.
    std::string GetNodeName() const;
    /// The node's value.
    std::string GetNodeValue() const;
    /// Sets the node's value; nothing without a node.
    void SetNodeValue(std::string_view value);
    /// The text of every text and CDATA node below, untrimmed; "" without a node.
    std::string GetText() const;
    /// Sets the element's text: a leaf gets exactly one text node holding `value` (text, CDATA and references
    /// before are replaced); an element with child elements gets `value` in its first text child.
    void SetText(std::string_view value);
    /// Replaces the references below that stand for markup by a copy of it; references to plain text stay
    /// and are saved as they were read. Raises -903 without a node.
    void ResolveEntityReferences() const;

    /// True when the node has attributes.
    bool HasAttributes() const;
    /// The attribute node of that name, or none.
    TtscXMLNode GetAttributeNode(std::string_view name) const;
    /// The attribute's value; "" when it is missing or the node is no element.
    std::string GetAttributeValue(std::string_view name) const;
    /// Creates or replaces an attribute; raises -905 when the node is no element.
    void SetAttributeValue(std::string_view name, std::string_view value);

    /// Number of child nodes of every type.
    int ChildCount() const;
    /// Child `index`, or none.
    TtscXMLNode GetChild(int index) const;
    /// The first child element, or none.
    TtscXMLNode FirstChildElement() const;
    /// The first child element named exactly `name` (with case), or none.
    TtscXMLNode ChildElementByName(std::string_view name) const;
    /// True when a child element exists.
    bool HasChildElements() const;
    TtscXMLNode ParentNode() const;
    TtscXMLNode NextSibling() const;
    TtscXMLNode PreviousSibling() const;
    /// Number of ancestors, the document included (the root element has 1); 0 without a node.
    int Depth() const;
    /// Target and data of a processing instruction; "" for other nodes.
    std::string GetPITarget() const;
    std::string GetPIData() const;

    /// Appends `child`, indented one TAB per level when it is an element; raises -903 without a node.
    void AppendChild(const TtscXMLNode& child);
    /// Removes `child` with the blank text just before it; raises -903 without a node.
    void RemoveChild(const TtscXMLNode& child);
    /// Appends CDATA holding `value` (split where the value holds "]]>", so that it survives a save).
    void AppendCDATA(std::string_view value);

    /// Wrappers are values that own nothing: there is nothing to hand back.
    void ReleaseNode(const TtscXMLNode&) {}

    /// The element at a slash path below this node (first match at each level), or none.
    TtscXMLNode FindPath(std::string_view path) const;
    /// True when every segment of the path is found.
    bool PathExists(std::string_view path) const;
    /// Creates the path: existing intermediate elements are reused, the last segment is always a new
    /// element. Raises -906 for an empty path and `EXmlCharacterError` for a segment that is no name.
    TtscXMLNode CreatePath(std::string_view path);
    /// The name of the first element among the children at `subPath` ("" for this node) whose attribute
    /// equals `value` without regard to case; "" when none does.
    std::string FindChildNameByAttribute(std::string_view subPath, std::string_view attributeName,
                                         std::string_view value) const;
    /// Visits this node and, depth first, the children whose type is in `types` while `callback` returns
    /// true; returns the last answer.
    bool WalkNodes(const TtscNodeTypes& types, const std::function<bool(const TtscXMLNode&)>& callback) const;

    /// The library node.
    xercesc::DOMNode* DOMNode() const { return node_; }
    /// The document that creates nodes for this wrapper.
    TtscDOMDocument* OwnerDocument() const { return owner_; }
    friend bool operator==(const TtscXMLNode& a, const TtscXMLNode& b) { return a.node_ == b.node_; }

protected:
    TtscDOMDocument* owner_ = nullptr;
    xercesc::DOMNode* node_ = nullptr;

private:
    /// The owner's index of child elements (null without one).
    xml::TElementIndex* Index() const;
};

/// The library document: creates nodes, holds the root element and the indentation switch.
class TtscDOMDocument : public TtscXMLNode {
public:
    /// A document wrapper without a library document.
    explicit TtscDOMDocument(TtscXMLDocument* xmlDocument);
    /// Releases the library document.
    ~TtscDOMDocument();
    TtscDOMDocument(const TtscDOMDocument&) = delete;
    TtscDOMDocument& operator=(const TtscDOMDocument&) = delete;

    /// New nodes, not yet in the tree. Raise -903 without a library document, and `EXmlCharacterError` for
    /// a name or text XML cannot hold.
    TtscXMLNode CreateElement(std::string_view name);
    TtscXMLNode CreateTextNode(std::string_view text);
    TtscXMLNode CreateCDATASection(std::string_view text);
    /// Takes `document` (releasing the one held before) and points the root wrapper at its root.
    void SetDocument(xercesc::DOMDocument* document);
    /// The library document, or null.
    xercesc::DOMDocument* LibraryDocument() const { return document_; }
    /// The root element's wrapper (without a node before a document is attached).
    TtscXMLNode GetDocumentElement() const;
    /// Nothing to build after a load; true.
    bool AfterLoad() { return true; }
    /// The XML file that owns this document.
    TtscXMLDocument* XMLDocument() const { return xmlDocument_; }

    /// While set, inserting and removing children keeps the tab indentation.
    bool Indent = true;

private:
    friend class TtscXMLNode;
    /// The index of child elements by name; null without a document.
    xml::TElementIndex* ElementIndex() const;

    TtscXMLDocument* xmlDocument_;
    xercesc::DOMDocument* document_ = nullptr;
    std::unique_ptr<xml::TElementIndex> index_;
};

/// One XML file held as a tree: load, save (UTF-8) and root-relative paths.
class TtscXMLDocument {
public:
    TtscXMLDocument();
    ~TtscXMLDocument();
    TtscXMLDocument(const TtscXMLDocument&) = delete;
    TtscXMLDocument& operator=(const TtscXMLDocument&) = delete;

    const std::string& FileName() const { return fileName_; }
    void SetFileName(std::string fileName) { fileName_ = std::move(fileName); }

    /// Reads and parses the file (`fileName` when given). Raises -900 for no name, -902 for a missing file,
    /// `EFOpenError` when it cannot be read, and `EParserException` when it is no well-formed XML, too big
    /// or too deep; the tree held before then stays.
    void Load(const std::string& fileName = {});
    /// Writes the tree as UTF-8 (`fileName` when given): a declaration line, then the tree as it stands.
    /// The file is replaced atomically; when it cannot be created that is tried three times, with a wait
    /// of 1000 ms between, before `EFCreateError` is raised. A file that already holds these bytes is not
    /// written again. Raises -901 for no name, -903 when there is no tree or no root element, and
    /// `EWriteError` when the file would be bigger than `Load` reads; the file is then left alone.
    void Save(const std::string& fileName = {});

    TtscDOMDocument& GetDOMDocument() { return *dom_; }
    /// The root element's wrapper.
    TtscXMLNode GetDocumentElement() const { return dom_->GetDocumentElement(); }
    /// The path without a first segment naming the root (compared without regard to case).
    std::string RootRelativePath(std::string_view path) const;
    /// The element at a root-relative path; the root's name alone is the root itself; none for "".
    TtscXMLNode FindNode(std::string_view path) const;
    bool PathExists(std::string_view path) const;
    TtscXMLNode CreatePath(std::string_view path);
    /// The element's text trimmed at both ends; "" when it is missing.
    std::string ReadText(std::string_view path) const;
    /// Sets the element's text, creating the path when it is missing.
    void WriteText(std::string_view path, std::string_view text);
    /// Wrappers are values that own nothing: there is nothing to hand back.
    void ReleaseNode(const TtscXMLNode&) {}

    /// How the save waits between attempts (tests replace it).
    std::function<void(int milliseconds)> Sleep;
    /// How `Save` meets the disk: settings files are the user's data, synced, and only when they changed.
    TWriteMode WriteMode = TWriteMode::DurableIfChanged;

    /// Files bigger than this are refused as unreadable.
    static constexpr std::int64_t kMaxFileSize = 64 * 1024 * 1024;
    /// Elements nested deeper than this are refused, on load and on `CreatePath`.
    static constexpr int kMaxDepth = 256;

private:
    std::unique_ptr<TtscDOMDocument> dom_;
    std::unique_ptr<xml::TSettingsParser> parser_;
    std::string fileName_;
};

} // namespace carlume
