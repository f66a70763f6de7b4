#include "SvdTestSupport.h"

#include "svd/XmlDocument.h"

#include <cstdio>

std::string MakeSvd(const std::string& peripherals, const std::string& deviceProperties)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
           "<device schemaVersion=\"1.3\">\n"
           "<name>TEST</name>\n" +
           deviceProperties + "\n<peripherals>\n" + peripherals + "\n</peripherals>\n</device>\n";
}

std::variant<CDescription, CSvdError> ImportSvdText(const std::string& text)
{
    std::variant<CXmlDocument, CXmlProblem> document = ReadXmlDocument(text);
    if (const CXmlProblem* problem = std::get_if<CXmlProblem>(&document))
        return CSvdError{problem->line, L"xml", problem->problem};
    return ImportSvd(std::get<CXmlDocument>(document).root);
}

std::string Narrow(const std::wstring& text)
{
    std::string narrow;
    for (wchar_t c : text)
        narrow += c < 128 ? static_cast<char>(c) : '?';
    return narrow;
}

std::string DumpRegisters(const CDescription& description)
{
    std::string dump;
    for (const CDeviceInfo& device : description.devices)
        for (const CRegisterInfo& info : device.registers)
        {
            char numbers[64];
            std::snprintf(numbers, sizeof numbers, "@%08lX/%d/",
                          static_cast<unsigned long>(info.address) & 0xFFFFFFFFul, info.length);
            const char* operations = info.operations == 3 ? "RW" : info.operations == 1 ? "R" : "W";
            char reset[32];
            std::snprintf(reset, sizeof reset, "=%X", static_cast<unsigned>(info.reset[0]));
            dump += Narrow(device.name) + "." + (info.path.empty() ? "" : Narrow(info.path) + "/") + Narrow(info.name) +
                    numbers + operations + reset + "\n";
        }
    return dump;
}
