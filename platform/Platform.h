#pragma once
// The narrow seam between the data layer and the operating system: where the
// component lives, the profile (ini) functions, GUIDs and file replacement.
// On Windows every call goes to the system; natively the same behaviour is
// supplied by our own code so that one set of tests runs against both.

#include "platform/Types.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace Platform {

// Directory of the component's own module, always ending in the path
// separator; empty when it cannot be had or would not fit in 260 characters.
std::string GetModuleDirectory();

// Points GetModuleDirectory at another directory (tests, and natively the
// only way to give it one). An empty text goes back to the real module
// directory on Windows, and to "unknown" natively.
void SetModuleDirectory(const std::string& directory);

// "\\" on Windows, "/" natively.
char GetPathSeparator();

// A path that is used as given rather than relative to the module directory:
// second character ':' on Windows, an absolute path natively.
bool IsFullPath(const std::string& path);

// GetPrivateProfileStringA with a buffer of bufferSize bytes: the result has
// at most bufferSize - 1 characters. A missing key or file gives the default.
std::string ReadProfileString(const char* section, const char* key, const char* defaultText,
                              std::size_t bufferSize, const std::string& file);

// WritePrivateProfileStringA: a null value deletes the key, a null key the
// whole section. False when the file cannot be written.
bool WriteProfileString(const char* section, const char* key, const char* value,
                        const std::string& file);

// GetPrivateProfileSectionNamesA with a buffer of bufferSize bytes: the names
// in file order; what does not fit in the buffer is not seen (the last name
// that only partly fits comes back cut).
std::vector<std::string> ReadProfileSectionNames(std::size_t bufferSize, const std::string& file);

// Every section and its lines ("key=value") as the profile functions read
// the file, in one text; none when the file holds more than they can give.
std::optional<std::string> DumpProfile(const std::string& file);

// Lets the profile functions drop what they hold of the file in memory, so
// that the next read comes from the disk.
void ReleaseProfile(const std::string& file);

bool PathExists(const std::string& path);

// CoCreateGuid on Windows; natively a generator whose 16-byte values do not
// repeat. Returns the failure code of the generator.
HRESULT CreateGuid(GUID& guid);

// Registry form: "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", upper case.
std::string FormatGuid(const GUID& guid);

// IIDFromString of the registry form (either letter case); CO_E_IIDSTRING
// when the text is not one.
HRESULT ParseGuid(const std::string& text, GUID& guid);

// Files written whole. Every write, the flush and the close are checked: a
// save either completes or reports its failure (the C library's fclose under
// Wine reports success even when its final flush hit a full disk).
enum class WriteOutcome
{
    Written,
    CannotCreate, // no new file may be made there (e.g. a folder where only the files are writable)
    Failed,       // created, but not all bytes reached the disk
};

// Creates or truncates the file and writes the bytes.
WriteOutcome WriteNewFile(const std::string& path, std::string_view bytes);

// Writes the bytes over an existing file from its start and cuts it to their
// length, keeping the file itself (its attributes, security and links).
bool OverwriteFile(const std::string& path, std::string_view bytes);

// The file's bytes; none when it cannot be opened or read.
std::optional<std::string> ReadFileBytes(const std::string& path);

bool RemoveFile(const std::string& path);

// Puts source in place of target in one step. An existing target keeps its
// identity (the system's replace-file operation: attributes, security); a
// read-only target is refused and left as it was.
bool MoveFileOver(const std::string& source, const std::string& target);

// Saves bytes as the file's new content: complete, or the old content stays
// byte for byte. Written beside the target and moved over it; where no new
// file can be made in the folder, written in place after keeping the old
// content, which is put back when the write fails.
bool ReplaceFileContent(const std::string& target, std::string_view bytes);

// A seam for tests of disks that fill up and folders that refuse new files:
// the writers above and the native profile functions obey it.
struct CFileFaults
{
    std::optional<std::uint64_t> FreeBytes; // none: the disk decides
    bool RefuseNewFiles = false;
};
void SetFileFaults(const CFileFaults& faults);
const CFileFaults& GetFileFaults();
// How many of wanted bytes, written at offset into a file that held
// oldSize bytes, may go on the disk: what overwrites the old bytes always
// may, what goes beyond them takes free space.
std::size_t TakeRoomForWrite(std::uint64_t offset, std::size_t wanted, std::uint64_t oldSize);

} // namespace Platform
