#pragma once
// The words of one register value, word 0 the least significant. A value of
// up to 32 bits keeps its word in place: with 100,000 registers of three
// values each, three separately allocated arrays per register were most of
// the memory a register took.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <vector>

class CValueWords
{
public:
    using value_type = std::uint32_t;

    CValueWords() = default;
    CValueWords(std::size_t count, std::uint32_t word) { assign(count, word); }
    CValueWords(std::initializer_list<std::uint32_t> words) { Copy(words.begin(), words.size()); }
    CValueWords(const CValueWords& other) { Copy(other.data(), other.size()); }
    CValueWords& operator=(const CValueWords& other)
    {
        if (this != &other)
            Copy(other.data(), other.size());
        return *this;
    }
    CValueWords& operator=(std::initializer_list<std::uint32_t> words)
    {
        Copy(words.begin(), words.size());
        return *this;
    }
    CValueWords(CValueWords&& other) noexcept { swap(other); }
    CValueWords& operator=(CValueWords&& other) noexcept
    {
        swap(other);
        return *this;
    }
    ~CValueWords() { Release(); }

    // Throws std::bad_alloc for more than one word when there is no memory;
    // the words are then unchanged.
    void assign(std::size_t count, std::uint32_t word)
    {
        Reserve(count);
        std::fill(data(), data() + count, word);
    }
    void swap(CValueWords& other) noexcept
    {
        std::swap(m_count, other.m_count);
        std::swap(m_store, other.m_store);
    }

    std::size_t size() const { return m_count; }
    bool empty() const { return m_count == 0; }
    std::uint32_t* data() { return m_count > 1 ? m_store.heap : &m_store.word; }
    const std::uint32_t* data() const { return m_count > 1 ? m_store.heap : &m_store.word; }
    std::uint32_t* begin() { return data(); }
    std::uint32_t* end() { return data() + m_count; }
    const std::uint32_t* begin() const { return data(); }
    const std::uint32_t* end() const { return data() + m_count; }
    std::uint32_t& operator[](std::size_t i) { return data()[i]; }
    std::uint32_t operator[](std::size_t i) const { return data()[i]; }
    std::uint32_t& back() { return data()[m_count - 1]; }
    std::uint32_t back() const { return data()[m_count - 1]; }

    operator std::vector<std::uint32_t>() const { return {begin(), end()}; }

    friend bool operator==(const CValueWords& a, const CValueWords& b)
    {
        return std::equal(a.begin(), a.end(), b.begin(), b.end());
    }
    friend bool operator==(const CValueWords& a, const std::vector<std::uint32_t>& b)
    {
        return std::equal(a.begin(), a.end(), b.begin(), b.end());
    }

private:
    // Room for count words; what was there before is lost.
    void Reserve(std::size_t count)
    {
        std::uint32_t* heap = count > 1 ? new std::uint32_t[count] : nullptr;
        Release();
        m_count = count;
        if (heap)
            m_store.heap = heap;
    }
    void Copy(const std::uint32_t* words, std::size_t count)
    {
        Reserve(count);
        std::copy_n(words, count, data());
    }
    void Release()
    {
        if (m_count > 1)
            delete[] m_store.heap;
        m_count = 0;
        m_store.word = 0;
    }

    std::size_t m_count = 0;
    union
    {
        std::uint32_t word = 0;
        std::uint32_t* heap;
    } m_store;
};
