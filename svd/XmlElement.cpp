#include "svd/XmlElement.h"

#include <algorithm>
#include <cwctype>
#include <iterator>

namespace {

// ASCII first: the C library's iswspace is slow under Wine, and nearly all text is ASCII.
bool IsSpace(wchar_t c)
{
    return c < 128 ? c == L' ' || (c >= L'\t' && c <= L'\r') : std::iswspace(static_cast<wint_t>(c)) != 0;
}

constexpr std::size_t kFirstArenaBlock = 64 * 1024;

std::wstring_view Trim(std::wstring_view text)
{
    while (!text.empty() && IsSpace(text.back()))
        text.remove_suffix(1);
    while (!text.empty() && IsSpace(text.front()))
        text.remove_prefix(1);
    return text;
}

} // namespace

const CXmlElement* CXmlElement::FindChild(std::wstring_view childName) const
{
    for (const CXmlElement& child : children)
        if (child.name == childName)
            return &child;
    return nullptr;
}

const std::wstring_view* CXmlElement::FindAttribute(std::wstring_view attributeName) const
{
    for (const auto& [key, value] : attributes)
        if (key == attributeName)
            return &value;
    return nullptr;
}

const std::wstring_view* CXmlElement::FindChildText(std::wstring_view childName) const
{
    const CXmlElement* child = FindChild(childName);
    return child ? &child->text : nullptr;
}

CXmlDocumentBuilder::CXmlDocumentBuilder()
    : m_arena(std::make_unique<std::pmr::monotonic_buffer_resource>(kFirstArenaBlock))
{
}

std::wstring_view CXmlDocumentBuilder::Store(std::wstring_view text)
{
    if (text.empty())
        return {};
    auto* stored = static_cast<wchar_t*>(m_arena->allocate(text.size() * sizeof(wchar_t), alignof(wchar_t)));
    std::copy(text.begin(), text.end(), stored);
    return {stored, text.size()};
}

void CXmlDocumentBuilder::StartElement(std::wstring_view name, int line)
{
    m_open.push_back(CXmlElement{Store(name), decltype(CXmlElement::attributes)(m_arena.get()), {}, line,
                                 decltype(CXmlElement::children)(m_arena.get())});
    if (m_texts.size() < m_open.size())
        m_texts.emplace_back();
    m_texts[m_open.size() - 1].clear();
    m_firstChild.push_back(m_finished.size());
}

void CXmlDocumentBuilder::AddAttribute(std::wstring_view name, std::wstring_view value)
{
    if (!m_open.empty())
        m_open.back().attributes.emplace_back(Store(name), Store(value));
}

void CXmlDocumentBuilder::AppendText(std::wstring_view text)
{
    if (!m_open.empty())
        m_texts[m_open.size() - 1].append(text);
}

void CXmlDocumentBuilder::EndElement()
{
    if (m_open.empty())
        return;
    CXmlElement done = std::move(m_open.back());
    m_open.pop_back();
    done.text = Store(Trim(m_texts[m_open.size()]));
    const auto first = m_finished.begin() + static_cast<std::ptrdiff_t>(m_firstChild.back());
    m_firstChild.pop_back();
    done.children.reserve(static_cast<std::size_t>(m_finished.end() - first));
    std::move(first, m_finished.end(), std::back_inserter(done.children));
    m_finished.erase(first, m_finished.end());
    if (m_open.empty())
        m_root = std::move(done);
    else
        m_finished.push_back(std::move(done));
}

std::optional<CXmlDocument> CXmlDocumentBuilder::TakeDocument()
{
    if (!m_root || !m_open.empty())
        return std::nullopt;
    CXmlDocument document{std::move(m_arena), std::move(*m_root)};
    m_root.reset();
    return document;
}
