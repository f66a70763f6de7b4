// The seam on Windows: every call goes to the system.
#include "platform/Platform.h"

#include <ntsecapi.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <memory>

namespace {

std::string overrideDirectory;

// The module that holds this code: the component's DLL, or the program that
// links the data layer statically.
HMODULE GetOwnModule()
{
    HMODULE module = nullptr;
    static const int anchor = 0;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCSTR>(&anchor), &module))
        return nullptr;
    return module;
}

std::string WithSeparator(std::string directory)
{
    if (!directory.empty() && directory.back() != '\\' && directory.back() != '/')
        directory += '\\';
    return directory;
}

// Writes every byte; a file of oldSize bytes is overwritten in its own room,
// and only what goes beyond it needs free space.
bool WriteAll(HANDLE file, std::string_view bytes, std::uint64_t oldSize)
{
    std::size_t done = 0;
    while (done < bytes.size())
    {
        const std::size_t chunk =
            Platform::TakeRoomForWrite(done, std::min<std::size_t>(bytes.size() - done, 1u << 20), oldSize);
        DWORD written = 0;
        if (chunk == 0 || !WriteFile(file, bytes.data() + done, static_cast<DWORD>(chunk), &written, nullptr) ||
            written != chunk)
            return false;
        done += chunk;
    }
    return true;
}

} // namespace

namespace Platform {

std::string GetModuleDirectory()
{
    if (!overrideDirectory.empty())
        return overrideDirectory;
    std::array<char, MAX_PATH> path{};
    const DWORD length = GetModuleFileNameA(GetOwnModule(), path.data(), MAX_PATH);
    // A path that fills the whole buffer may have been cut.
    if (length == 0 || length >= MAX_PATH)
        return {};
    std::string directory(path.data(), length);
    const auto slash = directory.find_last_of("\\/");
    if (slash == std::string::npos)
        return {};
    directory.resize(slash + 1);
    return directory;
}

void SetModuleDirectory(const std::string& directory) { overrideDirectory = WithSeparator(directory); }

char GetPathSeparator() { return '\\'; }

bool IsFullPath(const std::string& path) { return path.size() > 1 && path[1] == ':'; }

std::string ReadProfileString(const char* section, const char* key, const char* defaultText,
                              std::size_t bufferSize, const std::string& file)
{
    if (bufferSize == 0)
        return {};
    auto buffer = std::make_unique<char[]>(bufferSize);
    const DWORD length = GetPrivateProfileStringA(section, key, defaultText, buffer.get(),
                                                  static_cast<DWORD>(bufferSize), file.c_str());
    return std::string(buffer.get(), std::min<std::size_t>(length, bufferSize - 1));
}

bool WriteProfileString(const char* section, const char* key, const char* value,
                        const std::string& file)
{
    return WritePrivateProfileStringA(section, key, value, file.c_str()) != FALSE;
}

std::vector<std::string> ReadProfileSectionNames(std::size_t bufferSize, const std::string& file)
{
    std::vector<std::string> names;
    if (bufferSize < 2)
        return names;
    auto buffer = std::make_unique<char[]>(bufferSize);
    const DWORD length =
        GetPrivateProfileSectionNamesA(buffer.get(), static_cast<DWORD>(bufferSize), file.c_str());
    // The list is NUL-separated; its end is the returned length or an empty name.
    std::size_t position = 0;
    const std::size_t end = std::min<std::size_t>(length, bufferSize - 1);
    while (position < end && buffer[position] != '\0')
    {
        std::string name(buffer.get() + position, strnlen(buffer.get() + position, end - position));
        position += name.size() + 1;
        names.push_back(std::move(name));
    }
    return names;
}

std::optional<std::string> DumpProfile(const std::string& file)
{
    constexpr DWORD BUFFER = 1 << 20;
    auto buffer = std::make_unique<char[]>(BUFFER);
    const DWORD namesLength = GetPrivateProfileSectionNamesA(buffer.get(), BUFFER, file.c_str());
    if (namesLength >= BUFFER - 2)
        return std::nullopt;
    const std::string names(buffer.get(), namesLength);
    std::string dump;
    for (std::size_t at = 0; at < names.size();)
    {
        const std::string name(names.c_str() + at);
        at += name.size() + 1;
        const DWORD length = GetPrivateProfileSectionA(name.c_str(), buffer.get(), BUFFER, file.c_str());
        if (length >= BUFFER - 2)
            return std::nullopt;
        // The section's lines come NUL-separated.
        std::string lines(buffer.get(), length);
        std::replace(lines.begin(), lines.end(), '\0', '\n');
        dump.append("[").append(name).append("]\n").append(lines);
        if (!lines.empty() && lines.back() != '\n')
            dump.append("\n");
    }
    return dump;
}

void ReleaseProfile(const std::string& file)
{
    // All three null: the documented request to flush and drop the cache.
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, file.c_str());
}

bool PathExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }


// Version-4 GUIDs whose random bits come from a generator seeded from the
// system's random source and seeded anew every few thousand GUIDs. Under Wine
// the system source gives about 100 MB/s, so taking all 16 bytes of each
// GUID from it (one CoCreateGuid, or a share of a batch) was most of the
// start-up's own time with 100,000 registers.
HRESULT CreateGuid(GUID& guid)
{
    // xoshiro256**: 256 bits of state, never all zero.
    struct CGenerator
    {
        std::array<std::uint64_t, 4> state{};
        unsigned left = 0; // GUIDs until the next seeding

        static std::uint64_t Rotate(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }
        std::uint64_t Next()
        {
            const std::uint64_t result = Rotate(state[1] * 5, 7) * 9;
            const std::uint64_t t = state[1] << 17;
            state[2] ^= state[0];
            state[3] ^= state[1];
            state[1] ^= state[2];
            state[0] ^= state[3];
            state[2] ^= t;
            state[3] = Rotate(state[3], 45);
            return result;
        }
    };
    constexpr unsigned SEEDING_PERIOD = 4096;
    thread_local CGenerator generator;
    if (generator.left == 0)
    {
        if (!RtlGenRandom(generator.state.data(), sizeof generator.state))
            return CoCreateGuid(&guid);
        generator.state[0] |= 1; // a state of all zeros would stay zero
        generator.left = SEEDING_PERIOD;
    }
    --generator.left;
    const std::uint64_t high = generator.Next();
    const std::uint64_t low = generator.Next();
    static_assert(sizeof(GUID) == 2 * sizeof(std::uint64_t));
    std::memcpy(&guid, &high, sizeof high);
    std::memcpy(reinterpret_cast<unsigned char*>(&guid) + sizeof high, &low, sizeof low);
    guid.Data3 = static_cast<unsigned short>((guid.Data3 & 0x0FFF) | 0x4000);
    guid.Data4[0] = static_cast<unsigned char>((guid.Data4[0] & 0x3F) | 0x80);
    return S_OK;
}

std::string FormatGuid(const GUID& guid)
{
    std::array<wchar_t, 40> wide{};
    const int length = StringFromGUID2(guid, wide.data(), static_cast<int>(wide.size()));
    return std::string(wide.data(), wide.data() + (length > 0 ? length - 1 : 0));
}

HRESULT ParseGuid(const std::string& text, GUID& guid)
{
    // Registry-form GUIDs are plain ASCII; anything else cannot parse anyway.
    std::wstring wide(text.begin(), text.end());
    for (auto& c : wide)
        c = static_cast<unsigned char>(c);
    return IIDFromString(wide.c_str(), &guid);
}

WriteOutcome WriteNewFile(const std::string& path, std::string_view bytes)
{
    if (GetFileFaults().RefuseNewFiles && GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES)
        return WriteOutcome::CannotCreate;
    const HANDLE file =
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_ACCESS_DENIED ? WriteOutcome::CannotCreate : WriteOutcome::Failed;
    const bool written = WriteAll(file, bytes, 0) && FlushFileBuffers(file);
    const bool closed = CloseHandle(file) != FALSE;
    return written && closed ? WriteOutcome::Written : WriteOutcome::Failed;
}

bool OverwriteFile(const std::string& path, std::string_view bytes)
{
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER size{};
    const bool written = GetFileSizeEx(file, &size) &&
                         WriteAll(file, bytes, static_cast<std::uint64_t>(size.QuadPart)) &&
                         SetEndOfFile(file) && FlushFileBuffers(file);
    const bool closed = CloseHandle(file) != FALSE;
    return written && closed;
}

std::optional<std::string> ReadFileBytes(const std::string& path)
{
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::nullopt;
    std::optional<std::string> bytes;
    LARGE_INTEGER size{};
    if (GetFileSizeEx(file, &size) && static_cast<std::uint64_t>(size.QuadPart) < (std::uint64_t{1} << 31))
    {
        std::string text(static_cast<std::size_t>(size.QuadPart), '\0');
        DWORD read = 0;
        if (text.empty() || (ReadFile(file, text.data(), static_cast<DWORD>(text.size()), &read, nullptr) &&
                             read == text.size()))
            bytes = std::move(text);
    }
    CloseHandle(file);
    return bytes;
}

bool RemoveFile(const std::string& path) { return DeleteFileA(path.c_str()) != FALSE; }

bool MoveFileOver(const std::string& source, const std::string& target)
{
    // Windows refuses to replace a read-only file; Wine does not, so ask first.
    const DWORD attributes = GetFileAttributesA(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return false;
    // The replace-file operation keeps the old file's attributes and
    // security; Wine's keeps neither, so the attributes are put back too.
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY))
    {
        if (!ReplaceFileA(target.c_str(), source.c_str(), nullptr,
                          REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS, nullptr, nullptr))
            return false;
        if (GetFileAttributesA(target.c_str()) != attributes)
            SetFileAttributesA(target.c_str(), attributes);
        return true;
    }
    return MoveFileExA(source.c_str(), target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

} // namespace Platform
