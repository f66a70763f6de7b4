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
        {"text trimmed", "<a>\n  some text \t\n</a>", "a\"some text\"@1"},
        {"text around a comment joined", "<a>one<!-- c -->two</a>", "a\"onetwo\"@1"},
        {"CDATA kept", "<a><![CDATA[x < y]]></a>", "a\"x < y\"@1"},
        {"empty elements", "<a><b/><c></c></a>", "a@1{b@1 c@1}"},
        {"siblings after deep children in order", "<a>\n<b>\n<c>\n<d/>\n</c>\n<e/>\n</b>\n<f/>\n<g><h/></g>\n</a>",
         "a@1{b@2{c@3{d@4} e@6} f@8 g@9{h@9}}"},
        {"attributes stay with their element", "<a x=\"1\"><b y=\"2\" z=\"3\"><c/></b><d w=\"4\"/></a>",
         "a[x=1]@1{b[y=2,z=3]@1{c@1} d[w=4]@1}"},
        {"parent text around children", "<a> left <b>inner</b> right </a>", "a\"left  right\"@1{b\"inner\"@1}"},
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
