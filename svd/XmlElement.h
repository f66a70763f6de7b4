#pragma once
// An XML document as the SVD importer walks it: elements with their
// attributes, their own text and the line they start on. The XML parser
// that fills it is the platform's (XmlLite on Windows).

#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct CXmlElement
{
    std::wstring name;
    std::vector<std::pair<std::wstring, std::wstring>> attributes;
    std::wstring text; // the element's own character data, trimmed
    int line = 0;
    std::vector<CXmlElement> children;

    const CXmlElement* FindChild(std::wstring_view childName) const;
    const std::wstring* FindAttribute(std::wstring_view attributeName) const;
    // The text of a child, or nullptr when there is no such child.
    const std::wstring* FindChildText(std::wstring_view childName) const;
};

// Why a document could not be read: the line and what the parser said.
struct CXmlProblem
{
    int line = 0;
    std::wstring problem;
};
