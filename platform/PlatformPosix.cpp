// Native stand-ins for the system calls of the seam.
#include "platform/Platform.h"
#include "platform/HexDigit.h"

#include "platform/ProfileCopy.h"
#include "platform/ProfileFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

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

bool WriteAll(int file, std::string_view bytes, std::uint64_t oldSize);

bool TruncateAndWrite(const std::string& path, std::string_view bytes)
{
    const int file = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (file < 0)
        return false;
    const bool written = WriteAll(file, bytes, 0);
    return ::close(file) == 0 && written;
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

// Writes every byte; a file of oldSize bytes is overwritten in its own room,
// and only what goes beyond it needs free space.
bool WriteAll(int file, std::string_view bytes, std::uint64_t oldSize)
{
    std::size_t done = 0;
    while (done < bytes.size())
    {
        const std::size_t chunk = Platform::TakeRoomForWrite(done, bytes.size() - done, oldSize);
        if (chunk == 0)
        {
            errno = ENOSPC;
            return false;
        }
        const ssize_t written = ::write(file, bytes.data() + done, chunk);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        done += static_cast<std::size_t>(written);
    }
    return true;
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
    // The system writes the profile in place; a full disk cuts it.
    if (state == FileState::Present)
        return TruncateAndWrite(file, profile.Format());
    return WriteNewFile(file, profile.Format()) == WriteOutcome::Written;
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

std::optional<std::string> DumpProfile(const std::string& file)
{
    if (Inspect(file) != FileState::Present)
        return std::string();
    std::string dump;
    const CProfileFile profile = CProfileFile::Parse(ReadBytes(file));
    for (const auto& section : profile.GetSections())
    {
        dump.append("[").append(section.Name).append("]\n");
        for (const auto& key : section.Keys)
            dump.append(key.Name).append(key.Value ? "=" + *key.Value : std::string()).append("\n");
    }
    return dump;
}

void ReleaseProfile(const std::string&)
{
    // Our profile functions keep nothing in memory.
}

bool PathExists(const std::string& path)
{
    struct stat info{};
    return ::stat(path.c_str(), &info) == 0;
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
        const int value = GetHexDigitValue(text[i]);
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

WriteOutcome WriteNewFile(const std::string& path, std::string_view bytes)
{
    struct stat info{};
    if (GetFileFaults().RefuseNewFiles && ::stat(path.c_str(), &info) != 0)
        return WriteOutcome::CannotCreate;
    const int file = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (file < 0)
        return errno == EACCES || errno == EPERM ? WriteOutcome::CannotCreate : WriteOutcome::Failed;
    const bool written = WriteAll(file, bytes, 0) && ::fsync(file) == 0;
    const bool closed = ::close(file) == 0;
    return written && closed ? WriteOutcome::Written : WriteOutcome::Failed;
}

bool OverwriteFile(const std::string& path, std::string_view bytes)
{
    const int file = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (file < 0)
        return false;
    struct stat info{};
    const bool written = ::fstat(file, &info) == 0 && S_ISREG(info.st_mode) &&
                         WriteAll(file, bytes, static_cast<std::uint64_t>(info.st_size)) &&
                         ::ftruncate(file, static_cast<off_t>(bytes.size())) == 0 && ::fsync(file) == 0;
    const bool closed = ::close(file) == 0;
    return written && closed;
}

std::optional<std::string> ReadFileBytes(const std::string& path)
{
    struct stat info{};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad())
        return std::nullopt;
    return bytes;
}

bool RemoveFile(const std::string& path) { return std::remove(path.c_str()) == 0; }

bool MoveFileOver(const std::string& source, const std::string& target)
{
    struct stat info{};
    if (::stat(target.c_str(), &info) == 0)
    {
        // A target without write permission stands for a read-only file, which
        // the system refuses to replace.
        if (!S_ISREG(info.st_mode) || !(info.st_mode & S_IWUSR))
            return false;
        // The new file takes the old one's permissions, as the system's
        // replace-file operation keeps its attributes.
        ::chmod(source.c_str(), info.st_mode & 07777);
    }
    return std::rename(source.c_str(), target.c_str()) == 0;
}

} // namespace Platform
