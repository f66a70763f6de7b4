#include "gdbaccess/DescriptionFile.h"

#include "svd/SvdImporter.h"
#include "svd/XmlDocument.h"

#include <algorithm>
#include <cwctype>
#include <filesystem>
#include <fstream>

namespace {

constexpr std::uintmax_t kMaxDescriptionSize = 512u << 20; // vendor SVD files stay far below

bool IsSvd(const std::wstring& path)
{
    std::wstring extension = std::filesystem::path(path).extension().wstring();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](wchar_t c) { return static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c))); });
    return extension == L".svd";
}

} // namespace

std::variant<CDescription, std::wstring> LoadDescriptionFile(const std::wstring& path)
{
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error)
        return L"cannot open the description " + path;
    if (size > kMaxDescriptionSize)
        return L"the description " + path + L" is larger than 512 MB";
    std::string bytes(static_cast<std::size_t>(size), '\0');
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    if (!file || !file.read(bytes.data(), static_cast<std::streamsize>(bytes.size())))
        return L"cannot read the description " + path;

    if (!IsSvd(path))
    {
        std::variant<CDescription, CDescriptionError> parsed = ParseDescription(bytes);
        if (const CDescriptionError* problem = std::get_if<CDescriptionError>(&parsed))
            return path + L", line " + std::to_wstring(problem->line) + L": " + problem->problem;
        return std::get<CDescription>(std::move(parsed));
    }
    std::variant<CXmlDocument, CXmlProblem> document = ReadXmlDocument(bytes);
    if (const CXmlProblem* problem = std::get_if<CXmlProblem>(&document))
        return path + L", line " + std::to_wstring(problem->line) + L": " + problem->problem;
    std::variant<CDescription, CSvdError> imported = ImportSvd(std::get<CXmlDocument>(document).root);
    if (const CSvdError* problem = std::get_if<CSvdError>(&imported))
        return FormatSvdError(path, *problem);
    return std::get<CDescription>(std::move(imported));
}
