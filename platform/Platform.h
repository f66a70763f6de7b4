#pragma once
// The narrow seam between the data layer and the operating system: where the
// component lives, the profile (ini) functions, GUIDs and file replacement.
// On Windows every call goes to the system; natively the same behaviour is
// supplied by our own code so that one set of tests runs against both.

#include "platform/Types.h"

#include <cstddef>
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

// CoCreateGuid on Windows; natively a generator whose 16-byte values do not
// repeat. Returns the failure code of the generator.
HRESULT CreateGuid(GUID& guid);

// Registry form: "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", upper case.
std::string FormatGuid(const GUID& guid);

// IIDFromString of the registry form (either letter case); CO_E_IIDSTRING
// when the text is not one.
HRESULT ParseGuid(const std::string& text, GUID& guid);

// Moves source over target, replacing it in one step; the target is left as
// it was when that fails (for instance when it is read-only).
bool MoveFileOver(const std::string& source, const std::string& target);

} // namespace Platform
