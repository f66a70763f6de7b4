// Any bytes as an ini file for our own profile functions: parsing never goes
// wrong, and what is written back reads back to the same content.
#include "platform/ProfileFile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    CProfileFile profile = CProfileFile::Parse(bytes);
    const std::string once = CProfileFile::Parse(profile.Format()).Format();
    if (CProfileFile::Parse(once).Format() != once)
        std::abort();

    // Setting a value makes it readable; deleting it makes it missing.
    if (profile.SetValue("Fuzz", "Devices", "1,2,"), profile.FindValue("fuzz", "DEVICES") != "1,2,")
        std::abort();
    profile.DeleteKey("Fuzz", "Devices");
    (void)profile.FindValue("Options", "Columns");
    (void)profile.DeleteSection("Options");
    return 0;
}
