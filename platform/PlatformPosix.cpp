// Native stand-ins for the system calls of the seam.
#include "platform/Platform.h"

#include "platform/ProfileCopy.h"
#include "platform/ProfileFile.h"

#include <sys/stat.h>

#include <array>
#include <cstring>
#include <atomic>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>

namespace {

std::string moduleDirectory;

enum class FileState { Missing, Present, Unusable };

// Mirrors how the system opens a profile: a missing file is an empty profile,
// a missing directory or a directory in place of the file cannot be used.
FileState Inspect(const std::string& file)
{
    struct stat info{};
    if (::stat(file.c_str(), &info) == 0)
        return S_ISREG(info.st_mode) ? FileState::Present : FileState::Unusable;
    const auto slash = file.find_last_of('/');
    const std::string directory = slash == std::string::npos ? "." : file.substr(0, slash + 1);
    if (::stat(directory.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        return FileState::Unusable;
    return FileState::Missing;
}

std::string ReadBytes(const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string StripTrailingBlanks(const char* text)
{
    std::string result = text ? text : "";
    while (!result.empty() && result.back() == ' ')
        result.pop_back();
    return result;
}

// splitmix64's finaliser is a bijection, so distinct counters give distinct words.
std::uint64_t Mix(std::uint64_t x)
{
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
    return x ^ (x >> 31);
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

namespace Platform {

std::string GetModuleDirectory() { return moduleDirectory; }

void SetModuleDirectory(const std::string& directory)
{
    moduleDirectory = directory;
    if (!moduleDirectory.empty() && moduleDirectory.back() != '/')
        moduleDirectory += '/';
}

char GetPathSeparator() { return '/'; }

bool IsFullPath(const std::string& path) { return !path.empty() && path.front() == '/'; }

std::string ReadProfileString(const char* section, const char* key, const char* defaultText,
                              std::size_t bufferSize, const std::string& file)
{
    const std::string fallback = StripTrailingBlanks(defaultText);
    const FileState state = Inspect(file);
    if (state == FileState::Unusable)
        return fallback.substr(0, bufferSize ? bufferSize - 1 : 0);
    if (!section || !key || !*key)
        return {};
    const CProfileFile profile =
        CProfileFile::Parse(state == FileState::Present ? ReadBytes(file) : std::string());
    const auto value = profile.FindValue(section, key);
    return CopyProfileEntry(value ? *value : fallback, bufferSize);
}

bool WriteProfileString(const char* section, const char* key, const char* value,
                        const std::string& file)
{
    const FileState state = Inspect(file);
    if (!section || state == FileState::Unusable)
        return false;
    CProfileFile profile =
        CProfileFile::Parse(state == FileState::Present ? ReadBytes(file) : std::string());
    bool changed = false;
    if (!key)
        changed = profile.DeleteSection(section);
    else if (!value)
        changed = profile.DeleteKey(section, key);
    else
        changed = profile.SetValue(section, key, value);
    if (!changed)
        return true;
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    const std::string bytes = profile.Format();
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return static_cast<bool>(out);
}

std::vector<std::string> ReadProfileSectionNames(std::size_t bufferSize, const std::string& file)
{
    std::vector<std::string> names;
    const FileState state = Inspect(file);
    if (state != FileState::Present || bufferSize < 2)
        return names;
    const CProfileFile profile = CProfileFile::Parse(ReadBytes(file));
    std::size_t room = bufferSize - 1; // one place is kept for the list's final NUL
    for (const auto& section : profile.GetSections())
    {
        if (section.Name.empty())
            continue;
        const std::size_t needed = section.Name.size() + 1;
        if (needed >= room)
        {
            // The name that does not fit comes back cut, and the list ends there.
            if (room > 1)
                names.push_back(section.Name.substr(0, room - 1));
            break;
        }
        names.push_back(section.Name);
        room -= needed;
    }
    return names;
}

HRESULT CreateGuid(GUID& guid)
{
    static const std::array<std::uint64_t, 2> seeds = [] {
        std::random_device device;
        return std::array<std::uint64_t, 2>{(std::uint64_t{device()} << 32) ^ device(),
                                            (std::uint64_t{device()} << 32) ^ device()};
    }();
    static std::atomic<std::uint64_t> counter{0};
    const std::uint64_t n = counter.fetch_add(1);
    // The low half is a bijection of the counter, so no value repeats in a
    // process; the random seeds keep processes apart.
    const std::uint64_t halves[2] = {Mix(seeds[0] + n * 0x9e3779b97f4a7c15ULL), Mix(seeds[1] + n)};
    std::memcpy(&guid, halves, sizeof guid);
    return S_OK;
}

std::string FormatGuid(const GUID& guid)
{
    char text[39];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned>(guid.Data1), guid.Data2, guid.Data3, guid.Data4[0],
                  guid.Data4[1], guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5],
                  guid.Data4[6], guid.Data4[7]);
    return text;
}

HRESULT ParseGuid(const std::string& text, GUID& guid)
{
    if (text.size() != 38)
        return E_INVALIDARG;
    if (text.front() != '{' || text.back() != '}')
        return CO_E_IIDSTRING;
    std::array<std::uint8_t, 16> bytes{};
    std::size_t digits = 0;
    for (std::size_t i = 1; i < 37; ++i)
    {
        const bool dashPlace = i == 9 || i == 14 || i == 19 || i == 24;
        if (dashPlace != (text[i] == '-'))
            return CO_E_IIDSTRING;
        if (dashPlace)
            continue;
        const int value = HexValue(text[i]);
        if (value < 0)
            return CO_E_IIDSTRING;
        bytes[digits / 2] = static_cast<std::uint8_t>(bytes[digits / 2] << 4 | value);
        ++digits;
    }
    guid.Data1 = std::uint32_t{bytes[0]} << 24 | std::uint32_t{bytes[1]} << 16 |
                 std::uint32_t{bytes[2]} << 8 | bytes[3];
    guid.Data2 = static_cast<std::uint16_t>(bytes[4] << 8 | bytes[5]);
    guid.Data3 = static_cast<std::uint16_t>(bytes[6] << 8 | bytes[7]);
    std::memcpy(guid.Data4, bytes.data() + 8, 8);
    return S_OK;
}

bool MoveFileOver(const std::string& source, const std::string& target)
{
    struct stat info{};
    // A target without write permission stands for a read-only file, which
    // the system refuses to replace.
    if (::stat(target.c_str(), &info) == 0 && (!S_ISREG(info.st_mode) || !(info.st_mode & S_IWUSR)))
        return false;
    return std::rename(source.c_str(), target.c_str()) == 0;
}

} // namespace Platform
