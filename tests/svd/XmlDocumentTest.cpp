// The element tree the platform's XML parser yields: texts joined and
// trimmed, attributes and children with the element they belong to, lines,
// and a tree that stays readable after the document is moved. (Where the
// parser stops is checked through the importer's refusals.)
#include "SvdTestSupport.h"

#include "svd/XmlDocument.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

// name[key=value,...]"text"@line{children}
std::string Dump(const CXmlElement& element)
{
    std::string dump = Narrow(std::wstring(element.name));
    if (!element.attributes.empty())
    {
        dump += "[";
        for (const auto& [key, value] : element.attributes)
            dump += Narrow(std::wstring(key)) + "=" + Narrow(std::wstring(value)) + ",";
        dump.back() = ']';
    }
    if (!element.text.empty())
        dump += "\"" + Narrow(std::wstring(element.text)) + "\"";
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

TEST(XmlDocument, YieldsTheTree)
{
    const struct
    {
        const char* name;
        const char* xml;
        const char* tree;
    } rows[] = {
        {"texts trimmed, joined around comments and children, CDATA kept",
         "<a> left <b>\n  some text \t\n</b><c>one<!-- c -->two</c><d><![CDATA[x < y]]></d> right </a>",
         "a\"left  right\"@1{b\"some text\"@1 c\"onetwo\"@3 d\"x < y\"@3}"},
        {"empty elements, attributes and lines, siblings after deep children in order",
         "<a x=\"1\">\n<b y=\"2\" z=\"3\">\n<c>\n<d/>\n</c>\n<e></e>\n</b>\n<f w=\"4\"/>\n<g><h/></g>\n</a>",
         "a[x=1]@1{b[y=2,z=3]@2{c@3{d@4} e@6} f[w=4]@8 g@9{h@9}}"},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.name);
        std::variant<CXmlDocument, CXmlProblem> read = ReadXmlDocument(row.xml);
        ASSERT_TRUE(std::holds_alternative<CXmlDocument>(read)) << Narrow(std::get<CXmlProblem>(read).problem);
        // The texts live in the document's arena: they must survive a move of the document.
        const CXmlDocument document = std::move(std::get<CXmlDocument>(read));
        read = CXmlProblem{};
        EXPECT_EQ(Dump(document.root), row.tree);
    }
}

} // namespace
