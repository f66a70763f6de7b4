#pragma once
// An owned BSTR, freed by its one owner.

#include <objbase.h>
#include <oleauto.h>

#include <string>
#include <string_view>
#include <utility>

class CBStr
{
public:
    CBStr() = default;
    // Null when memory runs out.
    explicit CBStr(std::wstring_view text)
        : m_text(SysAllocStringLen(text.data(), static_cast<UINT>(text.size())))
    {
    }
    CBStr(const CBStr& other) : m_text(other.m_text ? SysAllocStringLen(other.m_text, other.GetLength()) : nullptr) {}
    CBStr(CBStr&& other) noexcept : m_text(std::exchange(other.m_text, nullptr)) {}
    ~CBStr() { SysFreeString(m_text); }
    CBStr& operator=(CBStr other) noexcept
    {
        std::swap(m_text, other.m_text);
        return *this;
    }

    // Takes over a string that the caller owns.
    static CBStr Adopt(BSTR text)
    {
        CBStr result;
        result.m_text = text;
        return result;
    }

    BSTR Get() const { return m_text; }
    // Gives the string up to the caller.
    BSTR Detach() { return std::exchange(m_text, nullptr); }
    // For out-parameters: the old string is freed first.
    BSTR* Out()
    {
        Reset();
        return &m_text;
    }
    void Reset() { SysFreeString(std::exchange(m_text, nullptr)); }

    UINT GetLength() const { return SysStringLen(m_text); }
    std::wstring ToString() const { return m_text ? std::wstring(m_text, GetLength()) : std::wstring(); }
    explicit operator bool() const { return m_text != nullptr; }

private:
    BSTR m_text = nullptr;
};
