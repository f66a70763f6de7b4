#pragma once
// The system's result codes. Every failure is one of these 32-bit values;
// their texts are in CodeTable.inc / StringTable.inc.

#include "platform/Types.h"

#include <cstdint>

namespace Vx {

constexpr HRESULT Code(std::uint32_t value) { return static_cast<HRESULT>(value); }

// Codes of the message transport that the server passes through.
inline constexpr HRESULT E_QSN_NO_CONNECTION = Code(0x80042000);
inline constexpr HRESULT E_QSN_WRONG_RESPONSE = Code(0x80042006);
inline constexpr HRESULT E_QSN_TIMEOUT = Code(0x80042007);
inline constexpr HRESULT E_QSN_INVALID_PARAMETER = Code(0x8004200A);
inline constexpr HRESULT E_QSN_NOT_SENT = Code(0x8004201D);

// Server statuses.
inline constexpr HRESULT E_INVALID_SUBBLOCK = Code(0x85000000);
inline constexpr HRESULT E_DEVICE_NOT_SUPPORTED = Code(0x85000001);
inline constexpr HRESULT E_INVALID_ACCESS_LENGTH = Code(0x85000002);
inline constexpr HRESULT E_ILLEGAL_MASK = Code(0x85000003);
inline constexpr HRESULT E_NO_ACCESS = Code(0x85000004);
inline constexpr HRESULT E_SERVER_ERROR = Code(0x85000005);
inline constexpr HRESULT E_WRITE_FAILURE = Code(0x85000006);
inline constexpr HRESULT E_READ_FAILURE = Code(0x85000007);
inline constexpr HRESULT E_ILLEGAL_PARAMETER = Code(0x85000008);
inline constexpr HRESULT E_IO_ERROR = Code(0x85000009);
inline constexpr HRESULT E_ILLEGAL_ACCESS_TYPE = Code(0x8500000A);
inline constexpr HRESULT E_ILLEGAL_VARIABLE_INDEX = Code(0x8500000B);
inline constexpr HRESULT E_INVALID_ADDRESS = Code(0x8500000C);

// The component's own failures.
inline constexpr HRESULT E_INVALID_POINTER = Code(0x8500000D);
inline constexpr HRESULT E_SAVE_OPTIONS = Code(0x8500000E);
inline constexpr HRESULT E_REGISTER_NOT_FOUND = Code(0x8500000F);
inline constexpr HRESULT E_DEVICE_NOT_FOUND = Code(0x85000010);
inline constexpr HRESULT E_GUID_GENERATION = Code(0x85000011);
inline constexpr HRESULT E_OUT_OF_MEMORY = Code(0x85000012);
inline constexpr HRESULT E_SAFEARRAY_UBOUND = Code(0x85000013);
inline constexpr HRESULT E_SAFEARRAY_LBOUND = Code(0x85000014);
inline constexpr HRESULT E_INVALID_INDEX = Code(0x85000015);
inline constexpr HRESULT E_INSERT_FAILURE = Code(0x85000016);
inline constexpr HRESULT E_OPEN_OPTIONS = Code(0x85000017);
inline constexpr HRESULT E_OPEN_USER_REGISTER_FILE = Code(0x85000500);
inline constexpr HRESULT E_INVALID_REGISTER_LIST_FILE = Code(0x85000501);
inline constexpr HRESULT E_USER_REGISTER_FILE_UNAVAILABLE = Code(0x85000502);
inline constexpr HRESULT E_TIMER_EXISTS = Code(0x85000503);
inline constexpr HRESULT E_TEMP_PATH = Code(0x85000504);
inline constexpr HRESULT E_TEMP_FILE_NAME = Code(0x85000505);
inline constexpr HRESULT E_REGISTER_NAME_EXISTS = Code(0x85000506);
inline constexpr HRESULT E_SELECTION_FILE_UNAVAILABLE = Code(0x8500050B);
inline constexpr HRESULT E_OPEN_SELECTION_LIST = Code(0x8500050C);
inline constexpr HRESULT E_INVALID_SELECTION_FILE = Code(0x8500050D);
inline constexpr HRESULT E_NO_TREE_ITEMS = Code(0x8500050E);
inline constexpr HRESULT E_INVALID_ITERATOR = Code(0x8500050F);
inline constexpr HRESULT E_REMOVE_CONFIGURATION = Code(0x85000510);
inline constexpr HRESULT E_SAVE_CONFIGURATION = Code(0x85000511);
inline constexpr HRESULT E_COMBO_OPERATION = Code(0x85000512);

// Codes that only name a status text ("Ready", "%i of ... did not support ...").
inline constexpr HRESULT MSG_READY = Code(0x85000507);
inline constexpr HRESULT MSG_READ_UNSUPPORTED = Code(0x85000508);
inline constexpr HRESULT MSG_WRITE_UNSUPPORTED = Code(0x85000509);
inline constexpr HRESULT MSG_ITEMS_SELECTED = Code(0x8500050A);

} // namespace Vx
