#pragma once
// The devices and registers that the simulator serves, and the text format
// they are read from (sim/README.md).

#include "sim/Words.h"

#include <string>
#include <string_view>
#include <variant>
#include <vector>

// Operation flags as the server reports them.
constexpr long kOperationRead = 0x1;
constexpr long kOperationWriteTypes = 0xE; // W, C and S: any of them allows a write

enum class RegisterBehaviour
{
    Plain,           // keeps what is written under the mask
    Counter,         // counts microseconds from the value last written
    ReadToClear,     // a read clears the bits it returns
    WriteOneToClear, // a write clears the bits written as 1
    Identification,  // read-only: every write is refused with "no access"
};

// What an SVD description says about a register beyond what the server
// interface hands out; kept for a later view of bit fields.
struct CEnumeratedValue
{
    std::wstring name;
    std::wstring value; // as written: "0x3", "#1x0"
    std::wstring description;
};

struct CFieldInfo
{
    std::wstring name;
    int lsb = 0;
    int width = 1;
    std::wstring access; // empty: the register's
    std::wstring description;
    std::wstring readAction; // what a read does to the field: "clear", "set", "modify", "modifyExternal"
    std::vector<CEnumeratedValue> values;
};

struct CRegisterInfo
{
    std::wstring name;
    std::wstring path; // folders separated by "/"; empty directly below the device
    long address = 0;
    int length = 32;
    long operations = 0;
    CWords reset;
    RegisterBehaviour behaviour = RegisterBehaviour::Plain;
    unsigned setPeriodMs = 0; // read-to-clear: one more bit is set per period (0: never)
    std::wstring description;
    std::wstring readAction;
    std::wstring modifiedWriteValues;
    std::vector<CFieldInfo> fields;
};

struct CDeviceInfo
{
    long id = 0;
    std::wstring name;
    long userRegisterFlag = 0;
    std::vector<CRegisterInfo> registers;
};

// How the target assembles bytes into words, when a description says so.
enum class ByteOrder
{
    Unspecified,
    Little,
    Big,
};

struct CDescription
{
    std::vector<CDeviceInfo> devices;
    ByteOrder byteOrder = ByteOrder::Unspecified;

    const CDeviceInfo* FindDevice(long id) const;
};

struct CDescriptionError
{
    int line = 0;
    std::wstring problem;
};

// The description in a text (UTF-8), or the first problem found in it.
std::variant<CDescription, CDescriptionError> ParseDescription(std::string_view text);

// The behaviour's keyword in the text format; empty for a plain register.
std::wstring GetBehaviourName(RegisterBehaviour behaviour);

// The description served when no file is given.
CDescription MakeBuiltInDescription();
