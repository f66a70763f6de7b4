#pragma once
// One register: where it lives, how wide it is, what may be done with it, and
// the three multi-word values the user sees, with their display texts.

#include "data/ValueWords.h"
#include "platform/Types.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class CDeviceData;

class CRegisterData
{
public:
    // Value text formats and selectors of GetValueText / SetValueText.
    static constexpr int FORMAT_DECIMAL = 1;
    static constexpr int FORMAT_HEX = 2;
    static constexpr int FORMAT_BINARY = 4;
    static constexpr int FORMAT_MASK_BINARY = 16; // the mask column's kind, input only
    static constexpr int SELECT_READ = 1;
    static constexpr int SELECT_WRITE = 2;
    static constexpr int SELECT_MASK = 12;

    static constexpr std::int32_t STATE_NOT_SELECTED = 1;
    static constexpr std::int32_t STATE_SELECTED = 2;
    static constexpr std::uint32_t USER_OPERATIONS = 0x3FFF;

    // A null id gets a fresh one (0x85000011 when none can be generated);
    // 0x85000012 when the value words cannot be allocated.
    CRegisterData(std::int32_t deviceId, std::uint32_t address, std::string name, std::string secondText,
                  std::int32_t length, std::int32_t userAdded, std::uint32_t operations, const GUID& id);
    virtual ~CRegisterData();
    CRegisterData(const CRegisterData&) = delete;
    CRegisterData& operator=(const CRegisterData&) = delete;

    // Format 1 decimal, 2 hexadecimal, 4 binary; selector 1 read, 2 write,
    // bit 4 or 8 the mask; any other selector shows zeros.
    std::string GetValueText(int format, int selector) const;
    // Format 1 decimal, 2 hexadecimal, 4 or 16 binary; selector bits pick the
    // values that receive the words. Always S_OK.
    HRESULT SetValueText(std::string_view text, int format, int selector);
    // New word arrays: values zero, mask all ones (0x85000012 when they cannot
    // be allocated; the register is then unchanged).
    void SetLength(std::int32_t bits);

    const std::string& GetName() const { return m_name; }
    const std::string& GetSecondText() const { return m_secondText; }
    std::uint32_t GetAddress() const { return m_address; }
    std::int32_t GetDeviceID() const { return m_deviceId; }
    std::int32_t GetLength() const { return m_length; }
    std::uint32_t GetOperations() const { return m_operations; }
    const GUID& GetId() const { return m_id; }
    std::int32_t GetUserAdded() const { return m_userAdded; }
    std::size_t GetWordCount() const; // follows the length: one word per started 32 bits

    // Written directly by the read/write operations and the list editing; each
    // has GetWordCount() words, word 0 the least significant.
    CValueWords ReadValue;
    CValueWords WriteValue;
    CValueWords Mask;
    std::int32_t State = STATE_NOT_SELECTED;

private:
    // Address and name change only through the device, which indexes names.
    friend class CDeviceData;
    void SetAddress(std::uint32_t address) { m_address = address; }
    void SetName(std::string name) { m_name = std::move(name); }

    const CValueWords* SelectShown(int selector) const;

    std::string m_name;
    std::string m_secondText;
    std::uint32_t m_address;
    std::int32_t m_deviceId;
    std::int32_t m_length = 0;
    std::uint32_t m_operations;
    GUID m_id;
    std::int32_t m_userAdded;
};
