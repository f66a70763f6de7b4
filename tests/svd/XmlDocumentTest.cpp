// The element tree the platform's XML parser yields: texts joined and
// trimmed, attributes and children with the element they belong to, lines,
// and a tree that stays readable after the document is moved. (Where the
// parser stops is checked through the importer's refusals.)

#include "frame/com/AnsiText.h"
#include "svd/XmlDocument.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

using AnsiText::Narrow;

// name[key=value,...]"text"@line{children}
std::string Dump(const CXmlElement& element)
{
    std::string dump = Narrow(element.name);
    if (!element.attributes.empty())
    {
        dump += "[";
        for (const auto& [key, value] : element.attributes)
            dump += Narrow(key) + "=" + Narrow(value) + ",";
        dump.back() = ']';
    }
    if (!element.text.empty())
        dump += "\"" + Narrow(element.text) + "\"";
    dump += "@" + std::to_string(element.line);
    if (!element.children.empty())
    {
        dump += "{";
        for (const CXmlElement& child : element.children)
            dump += Dump(child) + " ";
        dump.back() = '}';
    }
    return dump;
}

// The tree of a document, or why the parser stopped.
std::string Tree(const char* xml)
{
    std::variant<CXmlDocument, CXmlProblem> read = ReadXmlDocument(xml);
    if (const CXmlProblem* problem = std::get_if<CXmlProblem>(&read))
        return Narrow(problem->problem);
    // The texts live in the document's arena: they must survive a move of the document.
    const CXmlDocument document = std::move(std::get<CXmlDocument>(read));
    read = CXmlProblem{};
    return Dump(document.root);
}

TEST(XmlDocument, YieldsTheTree)
{
    // Texts trimmed, joined around comments and children, CDATA kept.
    EXPECT_EQ(Tree("<a> left <b>\n  some text \t\n</b><c>one<!-- c -->two</c><d><![CDATA[x < y]]></d> right </a>"),
              "a\"left  right\"@1{b\"some text\"@1 c\"onetwo\"@3 d\"x < y\"@3}");
    // Empty elements, attributes and lines; siblings after deep children in order.
    EXPECT_EQ(Tree("<a x=\"1\">\n<b y=\"2\" z=\"3\">\n<c>\n<d/>\n</c>\n<e></e>\n</b>\n<f w=\"4\"/>\n<g><h/></g>\n</a>"),
              "a[x=1]@1{b[y=2,z=3]@2{c@3{d@4} e@6} f[w=4]@8 g@9{h@9}}");
}

} // namespace
