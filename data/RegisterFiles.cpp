// The container's two text files: the user-added registers and the selection.
// Both start with the same header and end their lines in CR LF; a save either
// completes or leaves the old file as it was.

#include "data/CheckedResult.h"
#include "data/DataContainer.h"
#include "data/LineScanner.h"
#include "data/ResultCodes.h"
#include "platform/Platform.h"

#include <cstdio>
#include <memory>
#include <new>

namespace {

constexpr std::string_view FILE_HEADER = "Manual editing of this file is prohibited\r\n\r\n";
constexpr std::string_view HEADER_LINE = "Manual editing of this file is prohibited\r";
constexpr std::string_view CRLF = "\r\n";
// The Configure dialog never makes a register wider than this; a larger
// length in the file would only allocate huge value arrays.
constexpr std::uint32_t MAX_USER_REGISTER_LENGTH = 128;
constexpr std::size_t GUID_TEXT_LENGTH = 38;

struct FileCloser
{
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

enum class ReadOutcome
{
    Read,
    CannotOpen,
    CannotRead, // opened but reading failed, e.g. a directory on POSIX
};

ReadOutcome ReadWholeFile(const std::string& path, std::string& bytes)
{
    FilePtr file(std::fopen(path.c_str(), "rb"));
    if (!file)
        return ReadOutcome::CannotOpen;
    bytes.clear();
    char chunk[16384];
    std::size_t count = 0;
    try
    {
        while ((count = std::fread(chunk, 1, sizeof chunk, file.get())) > 0)
            bytes.append(chunk, count);
    }
    catch (const std::bad_alloc&)
    {
        RaiseResult(Vx::E_OUT_OF_MEMORY); // a file too large to hold
    }
    return std::ferror(file.get()) != 0 ? ReadOutcome::CannotRead : ReadOutcome::Read;
}

// The new content completely, or the old one byte for byte.
void WriteFileReplacing(const std::string& target, std::string_view bytes, HRESULT failure)
{
    if (!Platform::ReplaceFileContent(target, bytes))
        RaiseResult(failure);
}

std::int32_t AsDeviceId(std::uint32_t scanned) { return static_cast<std::int32_t>(scanned); }

} // namespace

std::string CDataContainer::GetFullPath(const std::string& path)
{
    return Platform::IsFullPath(path) ? path : Platform::GetModuleDirectory() + path;
}

std::string CDataContainer::WriteUserRegisters() const
{
    std::string text(FILE_HEADER);
    for (const auto& device : m_devices)
        for (int i = 0; i < device->GetRegisterCount(); ++i)
        {
            const CRegisterData& record = device->GetRegister(i);
            if (record.GetUserAdded() == 0)
                continue;
            text.append(LineScanner::FormatHex(static_cast<std::uint32_t>(record.GetDeviceID()))).append("|");
            text.append(LineScanner::FormatHex(record.GetAddress())).append("|");
            text.append(LineScanner::FormatHex(static_cast<std::uint32_t>(record.GetLength()))).append("|");
            text.append(Platform::FormatGuid(record.GetId())).append("|");
            text.append(record.GetName()).append(CRLF);
        }
    return text;
}

void CDataContainer::ReadUserRegisters(std::string_view bytes)
{
    // The header does not scan as a register line and so needs no check.
    int number = 0;
    const auto refuse = [&number] { RaiseResult(Vx::E_INVALID_REGISTER_LIST_FILE, "line " + std::to_string(number)); };
    while (const auto line = LineScanner::NextLine(bytes))
    {
        ++number;
        if (line->tooLong)
            refuse();
        LineScanner::UserRegisterFields fields;
        const LineScanner::ScanResult scanned = LineScanner::ScanUserRegisterLine(line->text, fields);
        if (scanned == LineScanner::ScanResult::NotMatched)
            continue;
        // The word is "{GUID}|Name".
        if (scanned == LineScanner::ScanResult::WordTooLong || fields.word.size() < GUID_TEXT_LENGTH + 2 ||
            fields.word[GUID_TEXT_LENGTH] != '|' || fields.length > MAX_USER_REGISTER_LENGTH)
            refuse();
        // An identifier that is not one is a broken file, not an unknown error.
        GUID id{};
        if (Platform::ParseGuid(std::string(fields.word.substr(0, GUID_TEXT_LENGTH)), id) < 0)
            refuse();
        AddRegister(AsDeviceId(fields.deviceId), fields.address, std::string(fields.word.substr(GUID_TEXT_LENGTH + 1)),
                    std::string(), static_cast<std::int32_t>(fields.length), 1, CRegisterData::USER_OPERATIONS, id);
    }
}

std::string CDataContainer::WriteSelections() const
{
    std::string text(FILE_HEADER);
    for (const auto& device : m_devices)
        for (int i = 0; i < device->GetRegisterCount(); ++i)
        {
            const CRegisterData& record = device->GetRegister(i);
            if (record.State != CRegisterData::STATE_SELECTED)
                continue;
            text.append(LineScanner::FormatHex(static_cast<std::uint32_t>(record.GetDeviceID()))).append("|");
            text.append(record.GetName()).append(CRLF);
        }
    return text;
}

void CDataContainer::ReadSelections(std::string_view bytes)
{
    const auto first = LineScanner::NextLine(bytes);
    if (!first || first->tooLong || first->text != HEADER_LINE)
        RaiseResult(Vx::E_INVALID_REGISTER_LIST_FILE);
    // Overlong lines and words cannot name a register; they are skipped like
    // any other line that is not a selection.
    for (auto line = first; line; line = LineScanner::NextLine(bytes))
    {
        LineScanner::SelectionFields fields;
        if (line->tooLong || LineScanner::ScanSelectionLine(line->text, fields) != LineScanner::ScanResult::Matched)
            continue;
        // A name the device lacks is skipped; an unknown device raises and ends the load.
        SetRegisterStateByName(AsDeviceId(fields.deviceId), fields.word, CRegisterData::STATE_SELECTED);
    }
}

void CDataContainer::SaveUserRegisters(const std::string& path) const
{
    WriteFileReplacing(GetFullPath(path), WriteUserRegisters(), Vx::E_OPEN_USER_REGISTER_FILE);
}

void CDataContainer::LoadUserRegisters(const std::string& path)
{
    const std::string fullPath = GetFullPath(path);
    std::string bytes;
    switch (ReadWholeFile(fullPath, bytes))
    {
    case ReadOutcome::Read:
        try
        {
            ReadUserRegisters(bytes);
        }
        catch (const CResultError& error)
        {
            if (error.GetDetail().empty())
                throw;
            RaiseResult(error.GetCode(), fullPath + ", " + error.GetDetail());
        }
        return;
    case ReadOutcome::CannotOpen:
        // A missing file is created empty. Append mode: a file that exists but
        // could not be read is never truncated.
        if (FilePtr created{std::fopen(fullPath.c_str(), "ab")})
            return;
        break;
    case ReadOutcome::CannotRead:
        break;
    }
    RaiseResult(Vx::E_USER_REGISTER_FILE_UNAVAILABLE);
}

void CDataContainer::SaveSelections(const std::string& path) const
{
    WriteFileReplacing(GetFullPath(path), WriteSelections(), Vx::E_SELECTION_FILE_UNAVAILABLE);
}

void CDataContainer::LoadSelections(const std::string& path)
{
    std::string bytes;
    if (ReadWholeFile(GetFullPath(path), bytes) != ReadOutcome::Read)
        RaiseResult(Vx::E_SELECTION_FILE_UNAVAILABLE);
    ReadSelections(bytes);
}
