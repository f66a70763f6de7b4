#include "svd/SvdDerivation.h"

#include <algorithm>

namespace {

using namespace std::literals; // names compared as L"..."sv: their length is known at compile time

constexpr std::size_t kMaxDepth = 64;

bool IsMember(const CXmlElement& element) { return element.name == L"register"sv || element.name == L"cluster"sv; }

const std::wstring_view* FindName(const CXmlElement& element) { return element.FindChildText(L"name"sv); }

// Replaces same-named members (registers, clusters) and appends new ones.
void MergeMembers(CXmlElement& into, const CXmlElement& from)
{
    for (const CXmlElement& member : from.children)
    {
        if (!IsMember(member))
            continue;
        const std::wstring_view* name = FindName(member);
        auto same = std::find_if(into.children.begin(), into.children.end(), [&](const CXmlElement& existing) {
            const std::wstring_view* existingName = FindName(existing);
            return IsMember(existing) && name && existingName && *name == *existingName;
        });
        if (same != into.children.end())
            *same = member;
        else
            into.children.push_back(member);
    }
}

} // namespace

CSvdDerivation::CSvdDerivation(const CXmlElement& peripherals) : m_list(peripherals) {}

CXmlElement CSvdDerivation::Merge(const CXmlElement& base, const CXmlElement& derived)
{
    CXmlElement result = base;
    result.line = derived.line;
    result.attributes.clear();
    for (const auto& attribute : derived.attributes)
        if (attribute.first != L"derivedFrom"sv)
            result.attributes.push_back(attribute);
    // A derived element names its own array, if any: the base's dim does not carry over.
    if (!derived.FindChild(L"dim"sv))
        std::erase_if(result.children, [](const CXmlElement& child) {
            return child.name == L"dim"sv || child.name == L"dimIncrement"sv || child.name == L"dimIndex"sv;
        });
    for (const CXmlElement& child : derived.children)
    {
        if (child.name == L"registers"sv)
        {
            auto registers = std::find_if(result.children.begin(), result.children.end(),
                                          [](const CXmlElement& c) { return c.name == L"registers"sv; });
            if (registers == result.children.end())
                result.children.push_back(child);
            else
                MergeMembers(*registers, child);
            continue;
        }
        if (IsMember(child))
        {
            MergeMembers(result, CXmlElement{L"", {}, L"", 0, {child}});
            continue;
        }
        std::erase_if(result.children, [&](const CXmlElement& c) { return c.name == child.name; });
        result.children.push_back(child);
    }
    return result;
}

void CSvdDerivation::Enter(const CXmlElement& element, std::wstring_view base)
{
    if (std::find(m_chain.begin(), m_chain.end(), &element) != m_chain.end() || m_chain.size() > kMaxDepth)
        throw CSvdError{element.line, std::wstring(element.name),
                        L"derivedFrom \"" + std::wstring(base) + L"\" forms a derivation cycle"};
    m_chain.push_back(&element);
}

const CXmlElement* CSvdDerivation::FindPeripheral(std::wstring_view name) const
{
    for (const CXmlElement& peripheral : m_list.children)
        if (peripheral.name == L"peripheral"sv)
            if (const std::wstring_view* own = FindName(peripheral); own && *own == name)
                return &peripheral;
    return nullptr;
}

CResolvedPeripheral CSvdDerivation::ResolvePeripheral(const CXmlElement& peripheral)
{
    const std::wstring_view* base = peripheral.FindAttribute(L"derivedFrom"sv);
    if (!base)
        return {&peripheral, peripheral.FindChild(L"registers"sv)};
    if (auto done = m_peripherals.find(&peripheral); done != m_peripherals.end())
        return done->second;
    const CXmlElement* baseElement = FindPeripheral(*base);
    if (!baseElement)
        throw CSvdError{peripheral.line, std::wstring(peripheral.name),
                        L"derivedFrom names \"" + std::wstring(*base) + L"\", which is not a peripheral"};
    Enter(peripheral, *base);
    const CResolvedPeripheral resolvedBase = ResolvePeripheral(*baseElement);
    m_chain.pop_back();

    // The base's own elements without its registers, which are large and
    // stay where they are unless the derived peripheral adds to them.
    CXmlElement baseOwn{resolvedBase.element->name, resolvedBase.element->attributes, resolvedBase.element->text,
                        resolvedBase.element->line, {}};
    for (const CXmlElement& child : resolvedBase.element->children)
        if (child.name != L"registers"sv)
            baseOwn.children.push_back(child);
    CXmlElement derivedOwn{peripheral.name, peripheral.attributes, peripheral.text, peripheral.line, {}};
    const CXmlElement* ownRegisters = nullptr;
    for (const CXmlElement& child : peripheral.children)
        if (child.name == L"registers"sv)
            ownRegisters = &child;
        else
            derivedOwn.children.push_back(child);

    CResolvedPeripheral resolved;
    resolved.element = (m_resolved[&peripheral] = std::make_unique<CXmlElement>(Merge(baseOwn, derivedOwn))).get();
    resolved.registers = resolvedBase.registers;
    if (ownRegisters)
    {
        auto registers = std::make_unique<CXmlElement>(resolvedBase.registers ? *resolvedBase.registers
                                                                              : CXmlElement{L"registers"sv, {}, L"", ownRegisters->line, {}});
        MergeMembers(*registers, *ownRegisters);
        resolved.registers = (m_resolved[ownRegisters] = std::move(registers)).get();
    }
    return m_peripherals[&peripheral] = resolved;
}

const CXmlElement& CSvdDerivation::FindQualified(const CXmlElement& member, std::wstring_view path)
{
    std::vector<std::wstring_view> parts;
    for (std::size_t start = 0;;)
    {
        const std::size_t dot = path.find(L'.', start);
        parts.push_back(path.substr(start, dot == std::wstring_view::npos ? std::wstring_view::npos : dot - start));
        if (dot == std::wstring_view::npos)
            break;
        start = dot + 1;
    }
    const CXmlElement* peripheral = FindPeripheral(parts.front());
    const CXmlElement* scope = peripheral ? ResolvePeripheral(*peripheral).registers : nullptr;
    for (std::size_t i = 1; scope && i < parts.size(); ++i)
    {
        const CXmlElement* next = nullptr;
        for (const CXmlElement& candidate : scope->children)
            if (const std::wstring_view* name = FindName(candidate); IsMember(candidate) && name && *name == parts[i])
                next = &candidate;
        if (next)
            next = &ResolveMember(*next, *scope);
        scope = next;
    }
    if (!scope || !IsMember(*scope))
        throw CSvdError{member.line, std::wstring(member.name),
                        L"derivedFrom names \"" + std::wstring(path) + L"\", which is not found"};
    return *scope;
}

const CXmlElement& CSvdDerivation::ResolveMember(const CXmlElement& member, const CXmlElement& container)
{
    const std::wstring_view* base = member.FindAttribute(L"derivedFrom"sv);
    if (!base)
        return member;
    if (auto done = m_resolved.find(&member); done != m_resolved.end())
        return *done->second;
    Enter(member, *base);
    const CXmlElement* resolvedBase = nullptr;
    if (base->find(L'.') != std::wstring_view::npos)
        resolvedBase = &FindQualified(member, *base);
    else
    {
        for (const CXmlElement& sibling : container.children)
            if (const std::wstring_view* name = FindName(sibling); IsMember(sibling) && name && *name == *base)
                resolvedBase = &sibling;
        if (!resolvedBase)
            throw CSvdError{member.line, std::wstring(member.name),
                            L"derivedFrom names \"" + std::wstring(*base) + L"\", which is not found"};
        resolvedBase = &ResolveMember(*resolvedBase, container);
    }
    auto merged = std::make_unique<CXmlElement>(Merge(*resolvedBase, member));
    m_chain.pop_back();
    return *(m_resolved[&member] = std::move(merged));
}
