// The document reader on Windows: XmlLite, which Windows ships (xmllite.dll),
// loaded on first use since mingw has no import library for it, with an
// allocator of our own (see XmlLitePool.h).
#include "svd/XmlDocument.h"

#include "frame/com/ComPtr.h"
#include "svd/XmlLitePool.h"

#include <objbase.h>
#include <xmllite.h>

#include <algorithm>
#include <optional>

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

void ReadStartElement(IXmlReader& reader, CXmlDocumentBuilder& builder)
{
    const wchar_t* text = nullptr;
    UINT length = 0;
    if (FAILED(reader.GetLocalName(&text, &length)))
        length = 0;
    builder.StartElement({text, length}, GetLine(reader));
    for (HRESULT hr = reader.MoveToFirstAttribute(); hr == S_OK; hr = reader.MoveToNextAttribute())
    {
        const wchar_t* name = nullptr;
        UINT nameLength = 0;
        const wchar_t* value = nullptr;
        UINT valueLength = 0;
        if (SUCCEEDED(reader.GetLocalName(&name, &nameLength)) && SUCCEEDED(reader.GetValue(&value, &valueLength)))
            builder.AddAttribute({name, nameLength}, {value, valueLength});
    }
    reader.MoveToElement();
}

} // namespace

std::variant<CXmlDocument, CXmlProblem> ReadXmlDocument(std::string_view bytes)
{
    const CreateXmlReaderFunction create = FindCreateXmlReader();
    if (!create)
        return CXmlProblem{0, L"xmllite.dll cannot be loaded"};
    const CComPtr<IMalloc> pool = CreateXmlReaderPool(); // outlives the reader
    CComPtr<IXmlReader> reader;
    if (FAILED(create(__uuidof(IXmlReader), reinterpret_cast<void**>(reader.Out()), pool.Get())))
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

    CXmlDocumentBuilder builder;
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
            ReadStartElement(*reader.Get(), builder);
            if (empty)
                builder.EndElement();
            break;
        }
        case XmlNodeType_EndElement:
            builder.EndElement();
            break;
        case XmlNodeType_Text:
        case XmlNodeType_CDATA:
        {
            const wchar_t* text = nullptr;
            UINT length = 0;
            if (SUCCEEDED(reader->GetValue(&text, &length)))
                builder.AppendText({text, length});
            break;
        }
        default:
            break;
        }
    }
    std::optional<CXmlDocument> document = builder.TakeDocument();
    if (!document)
        return CXmlProblem{GetLine(*reader.Get()), L"the document has no element"};
    return std::move(*document);
}
