#pragma once
// The lists that GetRegisters hands out for one device, the same for every
// server over a description.

#include "sim/Description.h"

#include <oaidl.h>

#include <functional>
#include <string>

// Element j of each list describes register j of the device; `extra` gives
// the text of the last list, which the control ignores. False when memory
// runs out: every list is then cleared.
bool MakeRegisterLists(const CDeviceInfo& device, const std::function<std::wstring(const CRegisterInfo&)>& extra,
                       VARIANT* names, VARIANT* addresses, VARIANT* lengths, VARIANT* operations,
                       VARIANT* secondTexts, VARIANT* numbers, VARIANT* extras);
