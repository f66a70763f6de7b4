// The document reader of the native test build: Expat stands in for
// XmlLite, which only Windows has; both fill the same elements.
#include "svd/XmlDocument.h"

#include <expat.h>

#include <optional>
#include <vector>

namespace {

std::wstring Widen(const char* text, std::size_t length)
{
    std::wstring wide;
    for (std::size_t i = 0; i < length;)
    {
        const auto lead = static_cast<unsigned char>(text[i]);
        const int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
        char32_t code = extra == 0 ? lead : lead & (0x3Fu >> extra);
        for (int k = 1; k <= extra && i + static_cast<std::size_t>(k) < length; ++k)
            code = (code << 6) | (static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]) & 0x3Fu);
        wide += static_cast<wchar_t>(code);
        i += static_cast<std::size_t>(extra) + 1;
    }
    return wide;
}

std::wstring Widen(const char* text) { return Widen(text, std::char_traits<char>::length(text)); }

struct CBuilder
{
    XML_Parser parser = nullptr;
    CXmlDocumentBuilder document;
};

void XMLCALL OnStart(void* data, const XML_Char* name, const XML_Char** attributes)
{
    auto& builder = *static_cast<CBuilder*>(data);
    builder.document.StartElement(Widen(name), static_cast<int>(XML_GetCurrentLineNumber(builder.parser)));
    for (int i = 0; attributes[i]; i += 2)
    {
        std::wstring key = Widen(attributes[i]);
        // XmlLite gives local names: drop a namespace prefix.
        if (const std::size_t colon = key.find(L':'); colon != std::wstring::npos)
            key.erase(0, colon + 1);
        builder.document.AddAttribute(key, Widen(attributes[i + 1]));
    }
}

void XMLCALL OnEnd(void* data, const XML_Char*)
{
    static_cast<CBuilder*>(data)->document.EndElement();
}

void XMLCALL OnText(void* data, const XML_Char* text, int length)
{
    static_cast<CBuilder*>(data)->document.AppendText(Widen(text, static_cast<std::size_t>(length)));
}

} // namespace

std::variant<CXmlDocument, CXmlProblem> ReadXmlDocument(std::string_view bytes)
{
    CBuilder builder;
    builder.parser = XML_ParserCreate(nullptr);
    XML_SetUserData(builder.parser, &builder);
    XML_SetElementHandler(builder.parser, OnStart, OnEnd);
    XML_SetCharacterDataHandler(builder.parser, OnText);
    const XML_Status status = XML_Parse(builder.parser, bytes.data(), static_cast<int>(bytes.size()), 1);
    const int line = static_cast<int>(XML_GetCurrentLineNumber(builder.parser));
    std::wstring problem = status == XML_STATUS_OK ? L"" : Widen(XML_ErrorString(XML_GetErrorCode(builder.parser)));
    XML_ParserFree(builder.parser);
    if (status != XML_STATUS_OK)
        return CXmlProblem{line, L"the XML parser stops: " + problem};
    std::optional<CXmlDocument> document = builder.document.TakeDocument();
    if (!document)
        return CXmlProblem{line, L"the document has no element"};
    return std::move(*document);
}
