#include "sim/RegisterLists.h"

#include "frame/com/SafeArray.h"

#include <vector>

bool MakeRegisterLists(const CDeviceInfo& device, const std::function<std::wstring(const CRegisterInfo&)>& extra,
                       VARIANT* names, VARIANT* addresses, VARIANT* lengths, VARIANT* operations,
                       VARIANT* secondTexts, VARIANT* numbers, VARIANT* extras)
{
    std::vector<std::wstring> registerNames, paths, extraTexts;
    std::vector<LONG> registerAddresses, registerLengths, registerOperations, indexes;
    for (const CRegisterInfo& info : device.registers)
    {
        registerNames.push_back(info.name);
        paths.push_back(info.path);
        extraTexts.push_back(extra(info));
        registerAddresses.push_back(info.address);
        registerLengths.push_back(info.length);
        registerOperations.push_back(info.operations);
        indexes.push_back(static_cast<LONG>(indexes.size()));
    }
    const bool made = SUCCEEDED(CSafeArray::MakeBStr(registerNames).MoveTo(names)) &&
                      SUCCEEDED(CSafeArray::MakeI4(registerAddresses).MoveTo(addresses)) &&
                      SUCCEEDED(CSafeArray::MakeI4(registerLengths).MoveTo(lengths)) &&
                      SUCCEEDED(CSafeArray::MakeI4(registerOperations).MoveTo(operations)) &&
                      SUCCEEDED(CSafeArray::MakeBStr(paths).MoveTo(secondTexts)) &&
                      SUCCEEDED(CSafeArray::MakeI4(indexes).MoveTo(numbers)) &&
                      SUCCEEDED(CSafeArray::MakeBStr(extraTexts).MoveTo(extras));
    if (!made)
        for (VARIANT* output : {names, addresses, lengths, operations, secondTexts, numbers, extras})
            VariantClear(output);
    return made;
}
