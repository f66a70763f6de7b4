// The document reader on Windows: XmlLite, which Windows ships (xmllite.dll),
// loaded on first use since mingw has no import library for it.
#include "svd/XmlDocument.h"

#include "frame/com/ComPtr.h"

#include <objbase.h>
#include <xmllite.h>

#include <algorithm>
#include <cwctype>
#include <iterator>
#include <optional>
#include <vector>

namespace {

using CreateXmlReaderFunction = HRESULT(WINAPI*)(REFIID, void**, IMalloc*);

CreateXmlReaderFunction FindCreateXmlReader()
{
    static const CreateXmlReaderFunction create = [] {
        HMODULE module = LoadLibraryW(L"xmllite.dll"); // kept for the process's lifetime
        return module ? reinterpret_cast<CreateXmlReaderFunction>(
                            reinterpret_cast<void*>(GetProcAddress(module, "CreateXmlReader")))
                      : nullptr;
    }();
    return create;
}

// In place: most texts have nothing to trim, and a copy of each would cost
// an allocation per element.
void Trim(std::wstring& text)
{
    std::size_t last = text.size();
    while (last > 0 && std::iswspace(static_cast<wint_t>(text[last - 1])))
        --last;
    text.erase(last);
    std::size_t first = 0;
    while (first < text.size() && std::iswspace(static_cast<wint_t>(text[first])))
        ++first;
    text.erase(0, first);
}

std::wstring ToHex(HRESULT code)
{
    wchar_t text[16];
    swprintf(text, 16, L"0x%08lX", static_cast<unsigned long>(code));
    return text;
}

int GetLine(IXmlReader& reader)
{
    UINT line = 0;
    reader.GetLineNumber(&line);
    return static_cast<int>(line);
}

CXmlElement ReadStartElement(IXmlReader& reader)
{
    CXmlElement element;
    element.line = GetLine(reader);
    const wchar_t* text = nullptr;
    UINT length = 0;
    if (SUCCEEDED(reader.GetLocalName(&text, &length)))
        element.name.assign(text, length);
    for (HRESULT hr = reader.MoveToFirstAttribute(); hr == S_OK; hr = reader.MoveToNextAttribute())
    {
        const wchar_t* name = nullptr;
        UINT nameLength = 0;
        const wchar_t* value = nullptr;
        UINT valueLength = 0;
        if (SUCCEEDED(reader.GetLocalName(&name, &nameLength)) && SUCCEEDED(reader.GetValue(&value, &valueLength)))
            element.attributes.emplace_back(std::wstring(name, nameLength), std::wstring(value, valueLength));
    }
    reader.MoveToElement();
    return element;
}

} // namespace

std::variant<CXmlElement, CXmlProblem> ReadXmlDocument(std::string_view bytes)
{
    const CreateXmlReaderFunction create = FindCreateXmlReader();
    if (!create)
        return CXmlProblem{0, L"xmllite.dll cannot be loaded"};
    CComPtr<IXmlReader> reader;
    if (FAILED(create(__uuidof(IXmlReader), reinterpret_cast<void**>(reader.Out()), nullptr)))
        return CXmlProblem{0, L"XmlLite cannot create a reader"};

    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size() + 1);
    if (!memory)
        return CXmlProblem{0, L"out of memory"};
    if (void* target = GlobalLock(memory))
    {
        std::copy(bytes.begin(), bytes.end(), static_cast<char*>(target));
        GlobalUnlock(memory);
    }
    CComPtr<IStream> stream;
    // The stream owns and frees the block from here on.
    if (FAILED(CreateStreamOnHGlobal(memory, TRUE, stream.Out())))
    {
        GlobalFree(memory);
        return CXmlProblem{0, L"out of memory"};
    }
    ULARGE_INTEGER size;
    size.QuadPart = bytes.size();
    stream->SetSize(size);
    reader->SetProperty(XmlReaderProperty_DtdProcessing, DtdProcessing_Prohibit);
    if (FAILED(reader->SetInput(stream.Get())))
        return CXmlProblem{0, L"XmlLite does not take the input"};

    // Children wait on one stack until their parent ends and then move into
    // a vector of exactly their number: under Wine, vectors grown one child
    // at a time made reading quadratic in the document's size.
    std::vector<CXmlElement> open;
    std::vector<std::size_t> firstChild; // of each open element, in finished
    std::vector<CXmlElement> finished;
    std::optional<CXmlElement> root;
    XmlNodeType type = XmlNodeType_None;
    for (;;)
    {
        const HRESULT hr = reader->Read(&type);
        if (hr == S_FALSE)
            break;
        if (FAILED(hr))
            return CXmlProblem{GetLine(*reader.Get()), L"the XML parser stops with error " + ToHex(hr)};
        switch (type)
        {
        case XmlNodeType_Element:
        {
            const bool empty = reader->IsEmptyElement();
            open.push_back(ReadStartElement(*reader.Get()));
            firstChild.push_back(finished.size());
            if (!empty)
                break;
            [[fallthrough]];
        }
        case XmlNodeType_EndElement:
        {
            CXmlElement done = std::move(open.back());
            open.pop_back();
            const auto first = finished.begin() + static_cast<std::ptrdiff_t>(firstChild.back());
            firstChild.pop_back();
            done.children.reserve(static_cast<std::size_t>(finished.end() - first));
            std::move(first, finished.end(), std::back_inserter(done.children));
            finished.erase(first, finished.end());
            Trim(done.text);
            if (open.empty())
                root = std::move(done);
            else
                finished.push_back(std::move(done));
            break;
        }
        case XmlNodeType_Text:
        case XmlNodeType_CDATA:
        {
            const wchar_t* text = nullptr;
            UINT length = 0;
            if (!open.empty() && SUCCEEDED(reader->GetValue(&text, &length)))
                open.back().text.append(text, length);
            break;
        }
        default:
            break;
        }
    }
    if (!root)
        return CXmlProblem{GetLine(*reader.Get()), L"the document has no element"};
    return std::move(*root);
}
