#pragma once
// The failure codes a register access server reports and the control knows.

#include <windows.h>

constexpr HRESULT kNoConnection = static_cast<HRESULT>(0x80042000u);
constexpr HRESULT kDeviceNotSupported = static_cast<HRESULT>(0x85000001u);
constexpr HRESULT kInvalidAccessLength = static_cast<HRESULT>(0x85000002u);
constexpr HRESULT kIllegalMask = static_cast<HRESULT>(0x85000003u);
constexpr HRESULT kNoAccess = static_cast<HRESULT>(0x85000004u);
constexpr HRESULT kIllegalParameter = static_cast<HRESULT>(0x85000008u);
constexpr HRESULT kIllegalAccessType = static_cast<HRESULT>(0x8500000Au);
