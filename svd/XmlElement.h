#pragma once
// An XML document as the SVD importer walks it: elements with their
// attributes, their own text and the line they start on. The XML parser
// that fills it is the platform's (XmlLite on Windows).
//
// Names and texts are views into the document's arena, and element and
// attribute lists are allocated from it: a description of two million
// elements then costs no allocation from the process heap per element,
// which under Wine was most of a read's time. Elements made by the importer
// itself (derivations) may use the ordinary heap and views of literals.

#include <memory>
#include <memory_resource>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct CXmlElement
{
    std::wstring_view name;
    std::pmr::vector<std::pair<std::wstring_view, std::wstring_view>> attributes;
    std::wstring_view text; // the element's own character data, trimmed
    int line = 0;
    std::pmr::vector<CXmlElement> children;

    const CXmlElement* FindChild(std::wstring_view childName) const;
    const std::wstring_view* FindAttribute(std::wstring_view attributeName) const;
    // The text of a child, or nullptr when there is no such child.
    const std::wstring_view* FindChildText(std::wstring_view childName) const;
};

// A document read: its root element and the arena that holds the elements'
// texts and lists (declared first, so it outlives them).
struct CXmlDocument
{
    std::unique_ptr<std::pmr::monotonic_buffer_resource> arena;
    CXmlElement root;
};

// Why a document could not be read: the line and what the parser said.
struct CXmlProblem
{
    int line = 0;
    std::wstring problem;
};

// Builds a document from a parser's events, in document order.
class CXmlDocumentBuilder
{
public:
    CXmlDocumentBuilder();

    void StartElement(std::wstring_view name, int line);
    // An attribute of the element started last.
    void AddAttribute(std::wstring_view name, std::wstring_view value);
    void AppendText(std::wstring_view text);
    void EndElement();
    // The document once its root element has ended.
    std::optional<CXmlDocument> TakeDocument();

private:
    std::wstring_view Store(std::wstring_view text);

    std::unique_ptr<std::pmr::monotonic_buffer_resource> m_arena;
    std::vector<CXmlElement> m_open;
    std::vector<std::wstring> m_texts; // of each open element by depth, reused
    // Children wait here until their parent ends and then move into a list
    // of exactly their number: lists grown one child at a time made reading
    // quadratic under Wine.
    std::vector<CXmlElement> m_finished;
    std::vector<std::size_t> m_firstChild; // of each open element, in m_finished
    std::optional<CXmlElement> m_root;
};
