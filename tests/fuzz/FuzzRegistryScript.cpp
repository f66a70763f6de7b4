// Any text as a registry script: it parses or is refused with a line number,
// and a registration against an in-memory registry never goes wrong.
#include "frame/registrar/Registrar.h"
#include "tests/support/FakeRegistry.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::string error;
    const auto script = RegistryScript::Parse(text, error);
    if (!script && error.rfind("line ", 0) != 0)
        std::abort();
    CFakeRegistry registry;
    Registrar::Run(text, {{"MODULE", "C:\\m.dll"}}, Registrar::Mode::Register, registry);
    Registrar::Run(text, {{"MODULE", "C:\\m.dll"}}, Registrar::Mode::Unregister, registry);
    return 0;
}
